#pragma once
// Waiting for a condition instead of sleeping a fixed time: the condition is
// polled, and whatever the road listens to (accessibility events) is
// dispatched between polls.
#include <chrono>
#include <functional>

namespace acceptance {

// Called between polls; the accessibility view installs its event pump.
void SetWaitPump(std::function<void()> pump);

// True as soon as the condition holds; false after the timeout.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

// Lets the program under test handle what it was sent (a short settle time
// for input that has no visible effect to wait for).
void Settle(std::chrono::milliseconds time = std::chrono::milliseconds(150));

}  // namespace acceptance
