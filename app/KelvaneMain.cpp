// The editor program.
#include "app/EditorCommandLine.h"
#include "app/TolvenarApp.h"
#include "lumora/SkinPalette.h"
#include "platform/HugePageBuffers.h"
#include "platform/TextConv.h"
#include "platform/X11Display.h"
#include "update/FileVersion.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QUrl>

#include <cstdlib>
#include <iostream>

namespace {

// The set given on the command line, absolute (a running editor may have
// another working folder); file manager URLs become paths.
QString SetPathFromArgument(const std::string& argument)
{
    const QString text = QString::fromLocal8Bit(argument);
    const QUrl url(text);
    const QString path = url.isLocalFile() ? url.toLocalFile() : text;
    return QFileInfo(path).absoluteFilePath();
}

// Answers --help, --version and a wrong command line; true when the editor
// should start.
bool AnswerCommandLine(const EditorCommandLine& commandLine, int& exitCode)
{
    switch (commandLine.action) {
    case EditorCommandLine::Action::Help:
        std::cout << EditorHelpText() << std::flush;
        exitCode = kEditorExitOk;
        return false;
    case EditorCommandLine::Action::Version:
        std::cout << "kelvane " << platform::WideToUtf8(GetFileVersionText()) << std::endl;
        exitCode = kEditorExitOk;
        return false;
    case EditorCommandLine::Action::Refuse:
        std::cerr << "kelvane: " << commandLine.error << "\n"
                  << EditorUsageLine() << "\nTry 'kelvane --help' for more information." << std::endl;
        exitCode = kEditorExitUsage;
        return false;
    case EditorCommandLine::Action::Run:
        break;
    }
    // Without a display the toolkit would abort; say what is missing instead.
    if (!platform::CanOpenX11Display(commandLine.displayName)) {
        const char* fromEnvironment = std::getenv("DISPLAY");
        const std::string name = !commandLine.displayName.empty() ? commandLine.displayName
                                 : fromEnvironment                 ? fromEnvironment
                                                                   : "";
        std::cerr << "kelvane: "
                  << (name.empty() ? std::string("no X display is set (DISPLAY)") : "cannot open the X display '" + name + "'")
                  << "; the editor needs a graphical session (kelvane-cli works without one)" << std::endl;
        exitCode = kEditorExitNoDisplay;
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    platform::RestartWithHugePageBuffers(argv);
    platform::LocaleCharset();
    const EditorCommandLine commandLine = ParseEditorCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (int exitCode = kEditorExitOk; !AnswerCommandLine(commandLine, exitCode))
        return exitCode;
    // The engine draws into X11 windows; under Wayland the editor runs on XWayland.
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvane"));
    QApplication::setApplicationDisplayName(QStringLiteral("Zantrel"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/kelvane/icons/kelvane.svg")));
    lumora::ApplySkinToApplication();
    CTolvenarApp app(application);
    if (!commandLine.set.empty())
        app.SetOpenPath(SetPathFromArgument(commandLine.set).toStdWString());
    return app.Run();
}
