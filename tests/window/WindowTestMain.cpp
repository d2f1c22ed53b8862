// The window tests run as the plugin runs inside the TeamSpeak client: the host's QApplication
// on the main thread, which is the GUI thread the windows live on. Without a display they use
// Qt's offscreen platform.

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

// Qt's offscreen platform keeps its screen objects past the application's end; the leak
// checker of a sanitizer build leaves them out (the same list as qt-offscreen.supp, which
// the tralvonic-host test hands to its child).
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libqoffscreen.so\nleak:QPlatformScreen\nleak:QScreen::QScreen\nleak:handleScreenAdded\n"
           "leak:ExternalRefCountData::getAndRef\nleak:QObject::QObject\n";
}

// Qt is not built for the race detector: accesses that Qt orders itself (its implicitly shared
// strings, its event queue) look like races to it. The same list as qt-tsan.supp, which the
// tralvonic-host test hands to its child; races in the plugin's own frames are still reported.
extern "C" const char* __tsan_default_suppressions() {
    return "race:libQt5Core.so\nrace:libQt5Gui.so\nrace:libQt5Widgets.so\n";
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests)) {
        // Listing needs no application (and leaves no Qt platform behind).
        return RUN_ALL_TESTS();
    }
    if (std::getenv("DISPLAY") == nullptr && std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    }
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    return RUN_ALL_TESTS();
}
