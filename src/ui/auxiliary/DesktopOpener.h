#pragma once

#include <functional>

class QUrl;

namespace plx {

// Hands a local file or folder to the desktop to open, and tells `done`
// whether the desktop opened it. With xdg-open on the path it runs that and
// waits for it without blocking (xdg-open reports a file nobody can show, or
// one that is missing, by its exit code, perhaps only after the viewer it
// started has closed); otherwise it asks QDesktopServices. `done` is called
// once, possibly after this returns.
void openOnDesktop(const QUrl& url, std::function<void(bool opened)> done);

} // namespace plx
