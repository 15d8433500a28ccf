// One main for every test program: a GUI application object on the offscreen platform,
// so tests that touch fonts, images or the clipboard need no display.
#include <gtest/gtest.h>

#ifdef ORVALE_TEST_WIDGETS
#include <QApplication>
using TestApp = QApplication;
#else
#include <QGuiApplication>
using TestApp = QGuiApplication;
#endif

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    ::testing::InitGoogleTest(&argc, argv);
    TestApp app(argc, argv);
    return RUN_ALL_TESTS();
}
