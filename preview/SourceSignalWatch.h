#pragma once
// Listens to a set of sources (and filters) for the changes of their
// pictures that their scenes' items do not show: new settings, a filter
// turned on or off, filters reordered. Whatever the change, the one callback
// runs, on the thread that raised it. Runs on the user-interface thread; the watch holds a reference
// to each source it listens to, so none is destroyed while connected.
#include <functional>
#include <obs.hpp>
#include <vector>

class SourceSignalWatch {
public:
    explicit SourceSignalWatch(std::function<void()> onSignal);
    ~SourceSignalWatch();
    SourceSignalWatch(const SourceSignalWatch&) = delete;
    SourceSignalWatch& operator=(const SourceSignalWatch&) = delete;

    // Listens to exactly these sources from now on: the new ones are
    // connected, those no longer among them disconnected and let go.
    void Watch(std::vector<OBSSource> sources);
    void Clear() { Watch({}); }
    size_t Count() const { return m_sources.size(); }

private:
    static void OnSignal(void* param, calldata_t* data);
    void Connect(obs_source_t* source);
    void Disconnect(obs_source_t* source);

    std::function<void()> m_onSignal;
    std::vector<OBSSource> m_sources;
};
