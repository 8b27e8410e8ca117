#pragma once

#include <QApplication>

namespace plx {

// The hourglass for the lifetime of the guard.
class CursorGuard
{
public:
    CursorGuard() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CursorGuard() { QApplication::restoreOverrideCursor(); }
    CursorGuard(const CursorGuard&) = delete;
    CursorGuard& operator=(const CursorGuard&) = delete;
};

} // namespace plx
