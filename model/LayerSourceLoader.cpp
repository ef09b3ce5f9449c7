#include "LayerSourceLoader.h"

#include "engine/SourceTypes.h"
#include "platform/TextConv.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>

namespace {

constexpr const char* kImageSourceType = "image_source";

}  // namespace

OBSSourceAutoRelease CreateLayerImageSource(const LayerInfo& layer)
{
    OBSDataAutoRelease settings = obs_data_create();
    const std::string file = platform::WideToUtf8(platform::AnsiToWide(LayerImagePath(layer)));
    obs_data_set_string(settings, "file", file.c_str());
    const std::string name = platform::WideToUtf8(GetRecordName(layer.name));
    return CreateEnginePrivateSource(kImageSourceType, name, settings);
}

std::vector<OBSSourceAutoRelease> CreateLayerImageSources(const LayerList& layers)
{
    std::vector<OBSSourceAutoRelease> sources(layers.size());
    const size_t workers = std::min<size_t>(layers.size(), std::max(1u, std::thread::hardware_concurrency()));
    if (workers <= 1) {
        for (size_t i = 0; i < layers.size(); ++i)
            sources[i] = CreateLayerImageSource(layers[i]);
        return sources;
    }
    // Each worker takes the next layer not yet taken; every entry is written
    // by exactly one worker, and the threads are joined before it is read.
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t i = next++; i < layers.size(); i = next++)
            sources[i] = CreateLayerImageSource(layers[i]);
    };
    std::vector<std::jthread> threads;
    threads.reserve(workers - 1);
    for (size_t w = 1; w < workers; ++w) {
        try {
            threads.emplace_back(work);
        } catch (const std::system_error&) {
            break;  // no thread to be had: this one does the rest
        }
    }
    work();
    threads.clear();  // joins
    return sources;
}
