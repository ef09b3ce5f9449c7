#pragma once
// The application object of the widget tests: Qt's xcb platform on the test
// display, as the editor runs (offscreen only when there is no display).
#include <QApplication>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace widgettest {

inline QApplication* g_application = nullptr;

// The application goes when the tests end, inside main: left to the static
// destructors, Qt's font caches would outlive the storage that frees them.
class ApplicationEnvironment : public ::testing::Environment {
public:
    void TearDown() override
    {
        delete g_application;
        g_application = nullptr;
    }
};
inline ::testing::Environment* const g_applicationEnvironment =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

inline QApplication& App()
{
    static int argc = 1;
    static char name[] = "lumora_widgets_tests";
    static char* argv[] = {name, nullptr};
    if (!g_application) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("DISPLAY") ? "offscreen" : "xcb");
        g_application = new QApplication(argc, argv);
    }
    return *g_application;
}

// Shows the window and waits until it is exposed on the display.
inline bool ShowAndWait(QWidget& window)
{
    window.show();
    return QTest::qWaitForWindowExposed(&window);
}

inline void Click(QWidget* widget, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseClick(widget, button, Qt::NoModifier, at);
}

}  // namespace widgettest
