#pragma once
// The wait cursor for as long as the guard lives.
#include <QApplication>
#include <QCursor>

class CWaitCursor {
public:
    CWaitCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~CWaitCursor() { QApplication::restoreOverrideCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};
