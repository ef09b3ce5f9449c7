// The editor program. Until the editor window is built, the program starts
// and stops the engine as the editor will and reports the outcome.
#include "engine/ObsMain.h"
#include "app/LanguageSetup.h"
#include "app/UserFolders.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"

#include <QGuiApplication>
#include <X11/Xlib.h>
#include <iostream>
#include <obs.h>

int main(int argc, char** argv)
{
    platform::LocaleCharset();
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);

    platform::CreateFolder(GetVirtualSetsFolder());
    platform::CreateFolder(GetUnnamedSetFolder());
    platform::CreateFolder(GetUpdateFolder());
    InitLanguages();

    // The engine renders through Qt's own X11 connection.
    auto* x11 = app.nativeInterface<QNativeInterface::QX11Application>();
    Display* display = x11 ? x11->display() : nullptr;
    if (!display) {
        std::cerr << "kelvane: no X display\n";
        return 2;
    }
    SetEngineDisplay(display);
    g_obsMain = new ObsMain;
    const bool ok = g_obsMain->InitEngine();
    if (!ok)
        blog(LOG_ERROR, "Failed to init obs");
    delete g_obsMain;
    LogMemoryLeaks();
    return ok ? 0 : 2;
}
