#include "TerminalProgress.h"

#include <cstdio>

#include <unistd.h>

namespace plx::cli {

TerminalProgress::TerminalProgress() : m_terminal(::isatty(STDERR_FILENO) == 1) {}

TerminalProgress::~TerminalProgress()
{
    clear();
}

void TerminalProgress::show(const QString& text)
{
    if (!m_terminal)
        return;
    // Back to the start of the line, the text, and the rest of the line erased.
    std::fprintf(stderr, "\r%s\x1b[K", text.toUtf8().constData());
    std::fflush(stderr);
    m_shown = true;
}

void TerminalProgress::clear()
{
    if (!m_shown)
        return;
    std::fprintf(stderr, "\r\x1b[K");
    std::fflush(stderr);
    m_shown = false;
}

bool TerminalProgress::proceed(const PrintStep& step)
{
    show(QStringLiteral("%1 %2/%3 %4 %5")
             .arg(documentName(step.document))
             .arg(step.group)
             .arg(step.groups)
             .arg(step.ordererCode, step.ordererName));
    return true;
}

} // namespace plx::cli
