#include "LibraryStyle.h"

QString LibraryTabStyleSheet()
{
    return QStringLiteral(
        "QTabBar { background: transparent; }"
        "QTabBar::tab { min-width: 80px; height: 20px; padding: 0 10px; color: #a8acb2;"
        " background: #2a2c30; border: 1px solid #1b1c1f; border-bottom: none; margin-right: 1px; }"
        "QTabBar::tab:hover { color: #e0e2e5; background: #33363b; }"
        "QTabBar::tab:selected { color: #f0f2f4; background: #3a3d43; border-bottom: 2px solid #3d8ee6; }");
}

QString LibraryScrollBarStyleSheet()
{
    return QStringLiteral(
        "QScrollBar:vertical { background: #17181a; width: 10px; margin: 0; }"
        "QScrollBar::handle:vertical { background: #4a4d53; min-height: 30px; border-radius: 4px; margin: 1px; }"
        "QScrollBar::handle:vertical:hover { background: #60646b; }"
        "QScrollBar::add-line, QScrollBar::sub-line { height: 0; width: 0; }"
        "QScrollBar::add-page, QScrollBar::sub-page { background: none; }");
}
