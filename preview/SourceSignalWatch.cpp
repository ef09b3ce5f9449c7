#include "SourceSignalWatch.h"

#include <algorithm>

namespace {

// What a source says of a change the scene's items do not show: new
// settings (another picture file, a filter's values), a filter turned on or
// off, its filters reordered. Items, their places and the filter lists are
// read with the scene every frame.
constexpr const char* kChangeSignals[] = {"update", "enable", "reorder_filters"};

bool Contains(const std::vector<OBSSource>& sources, obs_source_t* source)
{
    return std::find(sources.begin(), sources.end(), source) != sources.end();
}

}  // namespace

SourceSignalWatch::SourceSignalWatch(std::function<void()> onSignal) : m_onSignal(std::move(onSignal)) {}

SourceSignalWatch::~SourceSignalWatch() { Clear(); }

void SourceSignalWatch::Watch(std::vector<OBSSource> sources)
{
    for (const OBSSource& source : m_sources)
        if (!Contains(sources, source))
            Disconnect(source);
    for (const OBSSource& source : sources)
        if (!Contains(m_sources, source))
            Connect(source);
    // The old references go after the disconnections, outside any callback.
    m_sources.swap(sources);
}

void SourceSignalWatch::Connect(obs_source_t* source)
{
    // Named signals, not every signal: libobs 29 does not reliably take a
    // callback for all signals off again.
    signal_handler_t* handler = obs_source_get_signal_handler(source);
    for (const char* signal : kChangeSignals)
        signal_handler_connect(handler, signal, OnSignal, this);
}

void SourceSignalWatch::Disconnect(obs_source_t* source)
{
    // Once this returns the callback no longer runs for the source: libobs
    // holds the same lock while it calls the callbacks.
    signal_handler_t* handler = obs_source_get_signal_handler(source);
    for (const char* signal : kChangeSignals)
        signal_handler_disconnect(handler, signal, OnSignal, this);
}

void SourceSignalWatch::OnSignal(void* param, calldata_t*)
{
    auto* watch = static_cast<SourceSignalWatch*>(param);
    if (watch->m_onSignal)
        watch->m_onSignal();
}
