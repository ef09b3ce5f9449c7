#include "ShellOpen.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace lumora {

namespace {

bool DesktopOpen(const QString& target)
{
    if (target.isEmpty())
        return false;
    const QUrl url = QFileInfo::exists(target) ? QUrl::fromLocalFile(target) : QUrl::fromUserInput(target);
    return url.isValid() && QDesktopServices::openUrl(url);
}

ShellOpenHandler& Handler()
{
    static ShellOpenHandler handler = DesktopOpen;
    return handler;
}

}  // namespace

bool ShellOpen(const QString& target) { return Handler() ? Handler()(target) : false; }

ShellOpenHandler SetShellOpenHandler(ShellOpenHandler handler)
{
    ShellOpenHandler previous = Handler();
    Handler() = handler ? std::move(handler) : ShellOpenHandler(DesktopOpen);
    return previous;
}

}  // namespace lumora
