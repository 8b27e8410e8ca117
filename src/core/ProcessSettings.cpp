#include "ProcessSettings.h"

#include <csignal>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace plx {

void applyProcessSettings()
{
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
#endif
}

} // namespace plx
