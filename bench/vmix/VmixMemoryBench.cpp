// Memory taken by loading a large vMix config.xml: a 16 MB file in the form
// found in the wild (no declaration, LF, aligned attributes, inputs that
// share their picture and UV-map files) is loaded as the editor loads it, and
// the peak of the process's resident memory during the load, above what it
// held before, is printed as a ratio to the file's size.
// Goal: under 4 times the file size.
#include "BenchMeasure.h"
#include "formats/VmixFormat.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <malloc.h>
#include <string>

namespace {

constexpr size_t kFileBytes = 16u * 1024 * 1024;

std::string Input(size_t n)
{
    const std::string id = std::to_string(n);
    const char* sign = n % 2 ? "+" : "-";
    return "  <input name=\"Screen " + id + "\"    x=\"" + sign + "0.577\"  y=\"+0.25\"   zoomX=\"0.35\"  zoomY=\"0.35\"  "
           "zoomZ=\"1\"  rotateX=\"0\"  rotateY=\"0\"  rotateZ=\"" + std::to_string(n % 360) + "\"  "
           "cropping=\"0.05,0.1,0.95,0.9\"  dynamic=\"True\"  uvmap=\"uv" + std::to_string(n % 4) + ".png\">"
           "blank" + std::to_string(n % 3) + ".png</input>\n";
}

std::string Shot(size_t n)
{
    return "  <zoom  name=\"Shot " + std::to_string(n) + "\"  x=\"-0.2\"  y=\"+0.1\"  zoomX=\"1.5\"  zoomY=\"1.5\"  "
           "rotateX=\"0\"  rotateY=\"0\"  rotateZ=\"-3.5\" />\n";
}

std::string MakeConfig()
{
    std::string text = "<virtualSet>\n";
    for (size_t n = 0; text.size() < kFileBytes * 9 / 10; ++n)
        text += Input(n);
    for (size_t n = 0; text.size() < kFileBytes - 32; ++n)
        text += Shot(n);
    return text + "</virtualSet>\n";
}

// Resets the peak resident size to the current one.
bool ResetPeak()
{
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    return static_cast<bool>(clear);
}

}  // namespace

int main()
{
    const std::wstring folder = platform::MakeTempFolder(L"kelvane-bench-vmix-");
    if (folder.empty()) {
        std::fprintf(stderr, "cannot make a temporary folder\n");
        return 1;
    }
    for (const wchar_t* name : {L"blank0.png", L"blank1.png", L"blank2.png", L"uv0.png", L"uv1.png", L"uv2.png", L"uv3.png"})
        platform::WriteFileAtomically(platform::JoinPath(folder, name), "png");
    const std::wstring config = platform::JoinPath(folder, L"config.xml");
    size_t fileBytes = 0;
    {
        const std::string text = MakeConfig();
        fileBytes = text.size();
        platform::WriteFileAtomically(config, text);
    }
    malloc_trim(0);
    const long before = StatusKilobytes("VmRSS");
    if (!ResetPeak() || before < 0) {
        std::fprintf(stderr, "the peak resident size cannot be measured here\n");
        platform::RemoveFolderTree(folder);
        return 1;
    }
    LayerList layers;
    ShotList shots;
    std::vector<SetFileNote> notes;
    const auto start = std::chrono::steady_clock::now();
    const bool loaded = LoadVmixVirtualSet(config, layers, shots, true, true, &notes);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const long peak = StatusKilobytes("VmHWM");
    platform::RemoveFolderTree(folder);
    if (!loaded) {
        std::fprintf(stderr, "the config.xml did not load\n");
        return 1;
    }
    const double ratio = double(peak - before) * 1024.0 / double(fileBytes);
    std::printf("config.xml %.1f MB: %zu layers, %zu shots, %zu notes, loaded in %.2f s\n", fileBytes / 1048576.0,
                layers.size(), shots.size(), notes.size(), seconds);
    std::printf("peak memory of the load: %.1f MB = %.2f x the file size (goal < 4x: %s)\n",
                (peak - before) / 1024.0, ratio, ratio < 4.0 ? "met" : "MISSED");
    return 0;
}
