#pragma once
// The look of the editor pages' standard controls on the dark skin.
#include <QString>

QString EditorPageStyleSheet();

// A thin scroll bar for the editor's scrolling pages.
QString EditorScrollBarStyleSheet();
