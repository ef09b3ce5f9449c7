#include "SharedInstance.h"

#include "platform/FileUtil.h"
#include "platform/Processes.h"
#include "platform/SystemFolders.h"
#include "platform/TextConv.h"

#include <thread>

namespace {

constexpr uint32_t kReadyMark = 0x4B4C564Eu;  // "KLVN"

std::string ExecutableName()
{
    std::wstring name = platform::FileNamePart(platform::GetExecutablePath());
    return name.empty() ? std::string("kelvane") : platform::WideToUtf8(name);
}

}  // namespace

bool SharedInstanceRecord::Open() { return Open(ExecutableName()); }

bool SharedInstanceRecord::Open(const std::string& name)
{
    bool created = false;
    m_record = nullptr;
    if (!m_memory.Open(name, sizeof(SharedInstanceData), &created))
        return false;
    m_name = name;
    auto* record = static_cast<SharedInstanceData*>(m_memory.Data());
    if (created) {
        record->restartPending.store(0);
        record->instanceCount.store(0);
        record->lastProcessId.store(0xFFFFFFFFu);
        record->mainWindow.store(0);
        record->busyProcessId.store(0);
        record->ready.store(kReadyMark, std::memory_order_release);
    } else {
        // The creator fills the record right after creating it; wait briefly.
        for (int i = 0; i < 2000 && record->ready.load(std::memory_order_acquire) != kReadyMark; ++i)
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        if (record->ready.load(std::memory_order_acquire) != kReadyMark) {
            // A creator that died before finishing: make it a fresh record.
            uint32_t expected = record->ready.load();
            if (record->ready.compare_exchange_strong(expected, kReadyMark)) {
                record->restartPending.store(0);
                record->instanceCount.store(0);
                record->lastProcessId.store(0xFFFFFFFFu);
                record->mainWindow.store(0);
                record->busyProcessId.store(0);
            }
        }
    }
    m_record = record;
    return true;
}

int32_t SharedInstanceRecord::Enter(uint32_t processId)
{
    if (!m_record)
        return 0;
    m_record->lastProcessId.store(processId);
    return m_record->instanceCount.fetch_add(1) + 1;
}

int32_t SharedInstanceRecord::Leave()
{
    if (!m_record)
        return 0;
    int32_t count = m_record->instanceCount.load();
    while (count > 0 && !m_record->instanceCount.compare_exchange_weak(count, count - 1)) {
    }
    return count > 0 ? count - 1 : 0;
}

bool SharedInstanceRecord::Remove(const std::string& name) { return platform::SharedMemory::Unlink(name); }

namespace {
SharedInstanceRecord* g_runningRecord = nullptr;
}

SharedInstanceRecord* GetSharedInstanceRecord() { return g_runningRecord; }
void SetSharedInstanceRecord(SharedInstanceRecord* record) { g_runningRecord = record; }

namespace {
int g_busyDepth = 0;
}

InstanceBusyMark::InstanceBusyMark()
{
    if (g_busyDepth++ == 0 && g_runningRecord && g_runningRecord->Data())
        g_runningRecord->Data()->busyProcessId.store(platform::CurrentProcessId());
}

InstanceBusyMark::~InstanceBusyMark()
{
    if (--g_busyDepth > 0 || !g_runningRecord || !g_runningRecord->Data())
        return;
    uint32_t mine = platform::CurrentProcessId();
    g_runningRecord->Data()->busyProcessId.compare_exchange_strong(mine, 0);
}
