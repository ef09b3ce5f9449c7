#include "EditorWorkspace.h"

#include "app/ProjectSettings.h"

#include <QString>
#include <QStringList>
#include <algorithm>
#include <string>

namespace {

// How much of the frame's top must show on a screen to count as visible.
constexpr int kVisibleMargin = 64;
constexpr int kMostSplitterOffset = 100000;

const std::wstring* Find(const ProjectSettings& settings, const std::wstring& name)
{
    for (const auto& [key, value] : settings.Workspace) {
        if (key == name)
            return &value;
    }
    return nullptr;
}

void Set(ProjectSettings& settings, const std::wstring& name, const std::wstring& value)
{
    for (auto& [key, stored] : settings.Workspace) {
        if (key == name) {
            stored = value;
            return;
        }
    }
    settings.Workspace.emplace_back(name, value);
}

void Set(ProjectSettings& settings, const std::wstring& name, int value) { Set(settings, name, std::to_wstring(value)); }

int Get(const ProjectSettings& settings, const std::wstring& name, int fallback, int least, int most)
{
    const std::wstring* text = Find(settings, name);
    if (!text)
        return fallback;
    bool ok = false;
    const int value = QString::fromStdWString(*text).toInt(&ok);
    return ok && value >= least && value <= most ? value : fallback;
}

bool GetFlag(const ProjectSettings& settings, const std::wstring& name, bool fallback)
{
    return Get(settings, name, fallback ? 1 : 0, 0, 1) != 0;
}

}  // namespace

std::wstring ChooserFolder(const ProjectSettings& settings, const std::wstring& chooser)
{
    const std::wstring* folder = chooser.empty() ? nullptr : Find(settings, L"Folder" + chooser);
    return folder ? *folder : std::wstring();
}

void SetChooserFolder(ProjectSettings& settings, const std::wstring& chooser, const std::wstring& folder)
{
    const bool plainName = std::all_of(chooser.begin(), chooser.end(), [](wchar_t c) {
        return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9');
    });
    // A path that cannot stand in one line of the settings file is not kept.
    const bool oneLine = folder.find_first_of(L"\r\n") == std::wstring::npos;
    if (!chooser.empty() && chooser.size() <= 32 && plainName && !folder.empty() && oneLine)
        Set(settings, L"Folder" + chooser, folder);
}

EditorWorkspace WorkspaceFromSettings(const ProjectSettings& settings)
{
    EditorWorkspace workspace;
    if (const std::wstring* frame = Find(settings, L"Window")) {
        const QStringList parts = QString::fromStdWString(*frame).split(u',');
        bool ok[4] = {};
        if (parts.size() == 4) {
            const QRect rect(parts[0].toInt(&ok[0]), parts[1].toInt(&ok[1]), parts[2].toInt(&ok[2]), parts[3].toInt(&ok[3]));
            if (ok[0] && ok[1] && ok[2] && ok[3] && rect.width() > 0 && rect.height() > 0) {
                workspace.hasGeometry = true;
                workspace.geometry = rect;
            }
        }
    }
    workspace.maximised = GetFlag(settings, L"Maximised", true);
    workspace.splitterOffset = Get(settings, L"SplitterOffset", 0, -kMostSplitterOffset, kMostSplitterOffset);
    workspace.page = Get(settings, L"Page", 0, 0, 2);
    workspace.guides.titleSafe = GetFlag(settings, L"TitleSafe", false);
    workspace.guides.actionSafe = GetFlag(settings, L"ActionSafe", false);
    workspace.guides.centreLines = GetFlag(settings, L"CentreLines", false);
    workspace.guides.grid = GetFlag(settings, L"Grid", false);
    workspace.guides.gridSpacing = Get(settings, L"GridSpacing", 100, kMinGridSpacing, 10000);
    workspace.zoomPercent = Get(settings, L"Zoom", 0, 0, 800);
    return workspace;
}

void WorkspaceToSettings(const EditorWorkspace& workspace, ProjectSettings& settings)
{
    if (workspace.hasGeometry) {
        const QRect& r = workspace.geometry;
        Set(settings, L"Window", QStringLiteral("%1,%2,%3,%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()).toStdWString());
    }
    Set(settings, L"Maximised", workspace.maximised ? 1 : 0);
    Set(settings, L"SplitterOffset", workspace.splitterOffset);
    Set(settings, L"Page", workspace.page);
    Set(settings, L"TitleSafe", workspace.guides.titleSafe ? 1 : 0);
    Set(settings, L"ActionSafe", workspace.guides.actionSafe ? 1 : 0);
    Set(settings, L"CentreLines", workspace.guides.centreLines ? 1 : 0);
    Set(settings, L"Grid", workspace.guides.grid ? 1 : 0);
    Set(settings, L"GridSpacing", workspace.guides.gridSpacing);
    Set(settings, L"Zoom", workspace.zoomPercent);
}

QRect OnVisibleScreen(const QRect& frame, const std::vector<QRect>& screens)
{
    if (screens.empty())
        return frame;
    const QRect titleBar(frame.left(), frame.top(), frame.width(), kVisibleMargin);
    for (const QRect& screen : screens) {
        const QRect shown = screen.intersected(titleBar);
        if (shown.width() >= kVisibleMargin && shown.height() >= kVisibleMargin / 2)
            return frame;
    }
    const QRect& first = screens.front();
    QRect moved(first.topLeft(), frame.size().boundedTo(first.size()));
    moved.moveCenter(first.center());
    return moved;
}
