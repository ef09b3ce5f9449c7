#pragma once
// The record through which running copies of the editor find each other. It
// lives in shared memory named after the executable; every field is atomic so
// two copies starting together cannot corrupt the count.
#include "platform/SharedMemory.h"

#include <atomic>
#include <cstdint>
#include <string>

struct SharedInstanceData {
    std::atomic<int32_t> restartPending;
    std::atomic<int32_t> instanceCount;
    std::atomic<uint32_t> lastProcessId;
    std::atomic<uint64_t> mainWindow;  // X11 window id, 0 when none
    // Not one of the record's fields: set last by the process that created the
    // record, so an opener never reads it half made.
    std::atomic<uint32_t> ready;
    // The editor that is inside a save or an open and so cannot answer a
    // second start at once (0 when none): it is waited for, never replaced.
    std::atomic<uint32_t> busyProcessId;
};

class SharedInstanceRecord {
public:
    // Opens the record named after the executable ("kelvane").
    bool Open();
    // Opens a record of another name (tests use their own).
    bool Open(const std::string& name);

    SharedInstanceData* Data() const { return m_record; }
    const std::string& Name() const { return m_name; }

    // Adds one running instance; returns the new count.
    int32_t Enter(uint32_t processId);
    // Removes one running instance (never below zero); returns the new count.
    int32_t Leave();

    static bool Remove(const std::string& name);

private:
    platform::SharedMemory m_memory;
    SharedInstanceData* m_record = nullptr;
    std::string m_name;
};

// The record of the running editor (set by the application at start), or null.
SharedInstanceRecord* GetSharedInstanceRecord();
void SetSharedInstanceRecord(SharedInstanceRecord* record);

// Marks this process busy in the running editor's record (busyProcessId)
// while it lives: a second start then waits for the editor instead of taking
// its silence for a hang. Marks nest; the outermost one clears the mark.
class InstanceBusyMark {
public:
    InstanceBusyMark();
    ~InstanceBusyMark();
    InstanceBusyMark(const InstanceBusyMark&) = delete;
    InstanceBusyMark& operator=(const InstanceBusyMark&) = delete;
};
