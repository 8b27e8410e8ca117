#pragma once

namespace plx {

// What each program (the window and the command line) sets for its whole
// process before it does anything else, called first in main():
//
// - A write beyond the process's file-size limit fails with an error instead
//   of ending the process (SIGXFSZ), so that the writer can put the file back
//   as it was and report the failure.
// - A print run allocates and frees the same large buffers (page streams,
//   data lines, font tables) thousands of times. glibc hands freed memory back
//   to the system at once and takes it again, a page fault per page, on the
//   next use: it is told instead to keep up to 64 MiB of freed memory, and to
//   take blocks of up to 32 MiB from the heap it keeps. Other C libraries are
//   left as they are.
void applyProcessSettings();

} // namespace plx
