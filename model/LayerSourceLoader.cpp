#include "LayerSourceLoader.h"

#include "engine/SourceTypes.h"
#include "platform/LargeAllocations.h"
#include "platform/TextConv.h"

#include <algorithm>
#include <atomic>
#include <optional>
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
    // One picture's freed decoding buffers serve the next; once every layer
    // is loaded, each thread that loaded gives its heap's free pages back.
    std::optional<platform::ReusedLargeBuffers> reuse(std::in_place);
    const size_t workers = std::min<size_t>(layers.size(), std::max(1u, std::thread::hardware_concurrency()));
    if (workers <= 1) {
        for (size_t i = 0; i < layers.size(); ++i)
            sources[i] = CreateLayerImageSource(layers[i]);
        reuse.reset();
        platform::TrimThisThreadsHeap();
        return sources;
    }
    // Each worker takes the next layer not yet taken; every entry is written
    // by exactly one worker, and the threads are joined before it is read.
    std::atomic<size_t> next{0};
    std::atomic<size_t> loaded{0};    // workers past their last layer
    std::atomic<bool> reused{true};   // until the allocator maps large buffers again
    auto load = [&] {
        for (size_t i = next++; i < layers.size(); i = next++)
            sources[i] = CreateLayerImageSource(layers[i]);
    };
    auto work = [&] {
        load();
        ++loaded;
        loaded.notify_one();
        reused.wait(true);
        platform::TrimThisThreadsHeap();
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
    const auto letWorkersEnd = [&] {
        reused = false;
        reused.notify_all();
    };
    try {
        load();
        for (size_t done = loaded; done < threads.size(); done = loaded)
            loaded.wait(done);
    } catch (...) {
        letWorkersEnd();  // so the joins below do not wait for ever
        throw;
    }
    reuse.reset();
    letWorkersEnd();
    platform::TrimThisThreadsHeap();
    threads.clear();  // joins
    return sources;
}
