#pragma once
// The dark look of the library list's scroll bar, to match the skin's panels.
#include <QString>

QString LibraryScrollBarStyleSheet();
