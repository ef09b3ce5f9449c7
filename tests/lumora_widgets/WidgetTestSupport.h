#pragma once
// The application object of the widget tests: Qt's xcb platform on the test
// display, as the editor runs (offscreen only when there is no display).
#include <QApplication>
#include <QTest>
#include <QWidget>

namespace widgettest {

inline QApplication& App()
{
    static int argc = 1;
    static char name[] = "lumora_widgets_tests";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("DISPLAY") ? "offscreen" : "xcb");
    static QApplication app(argc, argv);
    return app;
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
