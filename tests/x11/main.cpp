#include "XSession.h"

#include "ui/KeyClicks.h"

#include <QApplication>
#include <QFont>

#include <gtest/gtest.h>

#include <cstring>

namespace plx::test {

namespace {
XSession* g_session = nullptr;
}

XSession& xSession()
{
    return *g_session;
}

} // namespace plx::test

int main(int argc, char* argv[])
{
    ::testing::InitGoogleTest(&argc, argv);
    plx::test::XSession session;
    plx::test::g_session = &session;
    // Listing the tests needs no display.
    bool listing = false;
    for (int i = 1; i < argc; ++i)
        listing = listing || std::strcmp(argv[i], "--gtest_list_tests") == 0;
    // The real windowing system when a display can be had; the tests skip
    // themselves otherwise, and the application still needs a platform.
    qputenv("QT_QPA_PLATFORM", !listing && session.start() ? "xcb" : "offscreen");
    QApplication app(argc, argv);
    // Keys press buttons as the program's own main() makes them.
    plx::installKeyClicks(app);
    // The program's own font, so that the windows look as the clerk sees them.
    QFont font(QStringLiteral("IPAGothic"), 10);
    font.setStyleHint(QFont::TypeWriter);
    app.setFont(font);
    return RUN_ALL_TESTS();
}
