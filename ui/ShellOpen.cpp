#include "ShellOpen.h"

#include <QDesktopServices>
#include <QUrl>

namespace {

std::function<bool(const std::wstring&)>& Handler()
{
    static std::function<bool(const std::wstring&)> handler;
    return handler;
}

}  // namespace

bool ShellOpen(const std::wstring& target)
{
    if (target.empty())
        return false;
    if (Handler())
        return Handler()(target);
    const QString text = QString::fromStdWString(target);
    const QUrl url = text.startsWith(u'/') ? QUrl::fromLocalFile(text) : QUrl(text);
    return QDesktopServices::openUrl(url);
}

void SetShellOpenHandler(std::function<bool(const std::wstring&)> handler) { Handler() = std::move(handler); }
