// The editor program.
#include "app/TolvenarApp.h"
#include "platform/TextConv.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QUrl>

namespace {

// The set given on the command line, absolute (a running editor may have
// another working folder); file manager URLs become paths.
QString SetPathArgument(const QStringList& arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument.isEmpty() || argument.startsWith(QLatin1Char('-')))
            continue;
        const QUrl url(argument);
        const QString path = url.isLocalFile() ? url.toLocalFile() : argument;
        return QFileInfo(path).absoluteFilePath();
    }
    return {};
}

}  // namespace

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
    if (const QString set = SetPathArgument(QApplication::arguments()); !set.isEmpty())
        app.SetOpenPath(set.toStdWString());
    return app.Run();
}
