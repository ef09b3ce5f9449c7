// Imports an A4 page at 300 dpi (3508 x 4960) with a few full-canvas layers
// and compares the import with decoding the file's flattened picture once
// into memory, as any picture viewer does: time and peak memory as ratios.
//
//   psd_import_bench [WORK_FOLDER] [LAYERS]
#include "BenchTiming.h"
#include "formats/PsdLayerPainter.h"
#include "formats/PsdReader.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kWidth = 3508, kHeight = 4960;

void Put(std::ofstream& out, uint64_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out.put(static_cast<char>((value >> (8 * i)) & 0xff));
}

// Gradients with grain, so the pictures pack like photographs.
uint8_t Sample(uint32_t x, uint32_t y, int channel, int layer)
{
    uint32_t noise = (x * 73856093u) ^ (y * 19349663u) ^ (uint32_t(channel + 4 * layer) * 83492791u);
    noise = (noise ^ (noise >> 13)) * 1274126177u;
    const uint32_t base = (x * (channel + 1) + y * (layer + 2)) / 40;
    return static_cast<uint8_t>(base + (noise >> 29));
}

uint8_t Alpha(uint32_t x, uint32_t y, int layer)
{
    if (layer == 0)
        return 255;
    // Soft shapes over the lower layers.
    const int64_t dx = int64_t(x) - kWidth / 2, dy = int64_t(y) - kHeight / (layer + 1);
    const int64_t d = (dx * dx + dy * dy) / 40000;
    return static_cast<uint8_t>(d > 255 ? 0 : 255 - d);
}

// Every channel raw: records, then the channels, then the flattened picture.
bool WriteBenchPsd(const std::string& path, int layers)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const uint64_t plane = uint64_t(kWidth) * kHeight;
    out << "8BPS";
    Put(out, 1, 2);
    Put(out, 0, 6);
    Put(out, 3, 2);
    Put(out, kHeight, 4);
    Put(out, kWidth, 4);
    Put(out, 8, 2);
    Put(out, 3, 2);
    Put(out, 0, 4);
    Put(out, 0, 4);
    const uint64_t record = 16 + 2 + 4 * 6 + 12 + 4 + 4 + 4 + 8;
    const uint64_t info = 2 + layers * record + layers * 4 * (plane + 2);
    Put(out, 4 + info + 4, 4);
    Put(out, info, 4);
    Put(out, static_cast<uint64_t>(layers), 2);
    for (int l = 0; l < layers; ++l) {
        Put(out, 0, 4);
        Put(out, 0, 4);
        Put(out, kHeight, 4);
        Put(out, kWidth, 4);
        Put(out, 4, 2);
        for (int id : {-1, 0, 1, 2}) {
            Put(out, static_cast<uint16_t>(id), 2);
            Put(out, plane + 2, 4);
        }
        out << "8BIMnorm";
        Put(out, 255, 1);
        Put(out, 0, 1);
        Put(out, 8, 1);
        Put(out, 0, 1);
        Put(out, 4 + 4 + 8, 4);
        Put(out, 0, 4);
        Put(out, 0, 4);
        char name[8] = {7, 'L', 'a', 'y', 'e', 'r', ' ', char('1' + l)};
        out.write(name, 8);
    }
    std::vector<char> row(kWidth);
    for (int l = 0; l < layers; ++l) {
        for (int channel : {-1, 0, 1, 2}) {
            Put(out, 0, 2);
            for (uint32_t y = 0; y < kHeight; ++y) {
                for (uint32_t x = 0; x < kWidth; ++x)
                    row[x] = static_cast<char>(channel < 0 ? Alpha(x, y, l) : Sample(x, y, channel, l));
                out.write(row.data(), kWidth);
            }
        }
    }
    Put(out, 0, 4);
    Put(out, 0, 2);
    for (int channel = 0; channel < 3; ++channel) {
        for (uint32_t y = 0; y < kHeight; ++y) {
            for (uint32_t x = 0; x < kWidth; ++x)
                row[x] = static_cast<char>(Sample(x, y, channel, 0));
            out.write(row.data(), kWidth);
        }
    }
    return static_cast<bool>(out);
}

// The flattened picture into one RGBA buffer.
class WholePicture : public PsdPictureSink {
public:
    bool Begin(const PsdPictureInfo& info, std::string&) override
    {
        pixels.clear();
        pixels.reserve(size_t(info.width) * info.height * 4);
        m_width = info.width;
        return true;
    }
    bool Row(const uint8_t* rgba, std::string&) override
    {
        pixels.insert(pixels.end(), rgba, rgba + size_t(m_width) * 4);
        return true;
    }
    bool End(std::string&) override { return true; }
    std::vector<uint8_t> pixels;

private:
    uint32_t m_width = 0;
};

long StatusKb(const char* key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0)
            return std::atol(line.c_str() + std::strlen(key));
    }
    return -1;
}

// Peak resident memory the run added, in KiB: the peak is reset first.
long PeakGrowthKb(const std::function<bool()>& run)
{
    std::ofstream("/proc/self/clear_refs") << "5";
    const long before = StatusKb("VmRSS:");
    if (!run())
        return -1;
    return StatusKb("VmHWM:") - before;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string folder = argc > 1 ? argv[1] : platform::WideToUtf8(platform::MakeTempFolder(L"psd-bench-"));
    const int layers = argc > 2 ? std::atoi(argv[2]) : 4;
    const std::string psd = folder + "/a4.psd";
    if (layers < 1 || layers > 16 || !WriteBenchPsd(psd, layers)) {
        std::fprintf(stderr, "cannot write %s\n", psd.c_str());
        return 1;
    }
    std::printf("%u x %u, %d full-canvas layers, %.0f MB file\n", kWidth, kHeight, layers,
                platform::FileSize(platform::Utf8ToWide(psd)) / 1e6);

    const auto decodeFlattened = [&] {
        PsdFileBytes bytes;
        PsdStructure structure;
        std::string error;
        WholePicture picture;
        return bytes.Open(platform::Utf8ToWide(psd)) && ReadPsdStructure(bytes, structure, error) &&
               PaintPsdFlattened(bytes, structure, PsdColour(structure), picture, error);
    };
    const auto import = [&] {
        PsdDocument document;
        std::string error;
        const bool ok = ReadPsdDocument(platform::Utf8ToWide(psd), document, error);
        if (!ok)
            std::fprintf(stderr, "import failed: %s\n", error.c_str());
        return ok && document.layers.size() == static_cast<size_t>(layers);
    };
    const long flattenedKb = PeakGrowthKb(decodeFlattened);
    const long importKb = PeakGrowthKb(import);
    const double flattenedSeconds = BestOfRounds(3, decodeFlattened);
    const double importSeconds = BestOfRounds(2, import);
    if (flattenedKb <= 0 || importKb < 0 || flattenedSeconds < 0 || importSeconds < 0) {
        std::fprintf(stderr, "a run failed\n");
        return 1;
    }
    std::printf("decode flattened picture once: %.2f s, peak +%.1f MB\n", flattenedSeconds, flattenedKb / 1024.0);
    std::printf("import (%d PNG layers + thumbnail): %.2f s, peak +%.1f MB\n", layers, importSeconds, importKb / 1024.0);
    std::printf("ratios: time %.1f x, peak memory %.3f x\n", importSeconds / flattenedSeconds,
                double(importKb) / double(flattenedKb));
    if (argc <= 1)
        platform::RemoveFolderTree(platform::Utf8ToWide(folder));
    return 0;
}
