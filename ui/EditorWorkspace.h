#pragma once
// The editor's workspace as it was left: the window's frame and whether it
// was maximised, the splitter, the page, the guides and the zoom. It travels
// in the settings record's named workspace values (Setting.xml).
#include "preview/Snapping.h"

#include <QRect>
#include <string>
#include <vector>

struct ProjectSettings;

struct EditorWorkspace {
    bool hasGeometry = false;
    QRect geometry;          // the normal (not maximised) frame
    bool maximised = true;
    int splitterOffset = 0;  // from the layout's own place of the splitter
    int page = 0;
    CanvasGuides guides;
    int zoomPercent = 0;     // 0: the fit
};

// Values that do not read, or lie out of range, give the defaults.
EditorWorkspace WorkspaceFromSettings(const ProjectSettings& settings);
void WorkspaceToSettings(const EditorWorkspace& workspace, ProjectSettings& settings);

// The folder a file or folder chooser last ended in, by the chooser's name
// (letters and digits); empty when none was kept. Kept as "Folder<name>".
std::wstring ChooserFolder(const ProjectSettings& settings, const std::wstring& chooser);
void SetChooserFolder(ProjectSettings& settings, const std::wstring& chooser, const std::wstring& folder);

// The frame put back on a screen: unchanged when its title bar shows on one
// of the screens, else moved (and shrunk if need be) onto the first.
QRect OnVisibleScreen(const QRect& frame, const std::vector<QRect>& screens);
