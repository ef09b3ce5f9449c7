#pragma once
// Letting the program run while a benchmark waits.
#include <QEventLoop>
#include <QTimer>

// Runs the event loop for the given time.
inline void RunEventsFor(double seconds)
{
    QEventLoop loop;
    QTimer::singleShot(int(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
}
