#pragma once
// "Keyboard shortcuts": every key and mouse habit of the editor in one list
// of two columns, the keys and what they do.
#include "lumora/MyPopDialog.h"

#include <QString>
#include <utility>
#include <vector>

class QTableWidget;

class CDlgShortcuts : public CMyPopDialog {
public:
    explicit CDlgShortcuts(QWidget* parent = nullptr);

    // The rows as shown: the keys, and what they do.
    static std::vector<std::pair<QString, QString>> Rows();
    QTableWidget* Table() const { return m_table; }

private:
    QTableWidget* m_table = nullptr;
};
