#include "LibraryStyle.h"

QString LibraryScrollBarStyleSheet()
{
    return QStringLiteral(
        "QScrollBar:vertical { background: #17181a; width: 10px; margin: 0; }"
        "QScrollBar::handle:vertical { background: #4a4d53; min-height: 30px; border-radius: 4px; margin: 1px; }"
        "QScrollBar::handle:vertical:hover { background: #60646b; }"
        "QScrollBar::add-line, QScrollBar::sub-line { height: 0; width: 0; }"
        "QScrollBar::add-page, QScrollBar::sub-page { background: none; }");
}
