#pragma once
// The pictures of the library's three buttons (403 refresh, 204 remove,
// 501/502 icons/rows), drawn for the size asked.
#include <QIcon>

QIcon LibraryRefreshIcon();
QIcon LibraryRemoveIcon();
// What a click shows next: rows when icons are shown, icons when rows are.
QIcon LibraryViewToggleIcon(bool rowsShown);
