#pragma once

#include <QCoreApplication>

#include <memory>

namespace plx::report {

// The application object a program without windows needs to lay out and paint
// documents: a GUI application on the offscreen platform unless a platform was
// chosen already. Programs that print call this instead of constructing a bare
// core application.
std::unique_ptr<QCoreApplication> makePrintingApplication(int& argc, char** argv);

} // namespace plx::report
