#pragma once

namespace plx {

// Qt's PDF writer deflates every page's drawing operations, and every embedded font,
// at zlib's default level, and has no setting for it. For a print run of thousands of
// documents that compression was a third of the run's time; zlib's fastest level does
// the same work in a fifth of the time for files about a third larger, which a print
// folder holds easily. The PDF is the same to every reader: only how hard its streams
// were squeezed differs.
//
// While a FastPdfCompression lives, every deflate stream this thread starts at zlib's
// default level starts at the fastest level instead; streams that ask for a level of
// their own, other threads, and anything outside the scope are left as they are.
//
// This works by providing zlib's deflateInit_() in the program itself, which Qt's
// shared library then calls (ELF symbol lookup finds the program first). Where Qt
// carries its own zlib (Windows, static builds) the scope changes nothing.
class FastPdfCompression
{
public:
    FastPdfCompression();
    ~FastPdfCompression();
    FastPdfCompression(const FastPdfCompression&) = delete;
    FastPdfCompression& operator=(const FastPdfCompression&) = delete;

    // Whether a scope is active in this thread.
    static bool active();

private:
    bool m_wasActive;
};

} // namespace plx
