#pragma once
// The dark look of the library's tab strips and scroll bars, to match the
// skin's panels.
#include <QString>

QString LibraryTabStyleSheet();
QString LibraryScrollBarStyleSheet();
