// The editor program.
#include "app/TolvenarApp.h"
#include "platform/TextConv.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv)
{
    platform::LocaleCharset();
    // The engine draws into X11 windows; under Wayland the editor runs on XWayland.
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvane"));
    QApplication::setApplicationDisplayName(QStringLiteral("Zantrel"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/kelvane/icons/kelvane.svg")));
    CTolvenarApp app(application);
    return app.Run();
}
