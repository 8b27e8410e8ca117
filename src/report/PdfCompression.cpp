#include "PdfCompression.h"

#include <zlib.h>

namespace plx {

namespace {

thread_local bool t_fast = false;

} // namespace

FastPdfCompression::FastPdfCompression() : m_wasActive(t_fast)
{
    t_fast = true;
}

FastPdfCompression::~FastPdfCompression()
{
    t_fast = m_wasActive;
}

bool FastPdfCompression::active()
{
    return t_fast;
}

} // namespace plx

#if defined(__ELF__)
// zlib's deflateInit() is a macro for this function, which is deflateInit2_() with
// zlib's own window and memory sizes (15 and 8) and default strategy.
extern "C" int deflateInit_(z_streamp strm, int level, const char* version, int stream_size)
{
    if (level == Z_DEFAULT_COMPRESSION && plx::FastPdfCompression::active())
        level = Z_BEST_SPEED;
    return deflateInit2_(strm, level, Z_DEFLATED, MAX_WBITS, 8, Z_DEFAULT_STRATEGY, version, stream_size);
}
#endif
