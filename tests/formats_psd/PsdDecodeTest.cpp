// The Photoshop reader on files written byte by byte: every depth and
// compression, the group tree, masks, clipping, opacities, names, files
// without layers, and hostile files.
#include "PsdFileMaker.h"
#include "formats/PsdReader.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace psdtest;

namespace {

struct Picture {
    PsdPictureInfo info;
    std::vector<uint8_t> rgba;
    Pixel at(uint32_t x, uint32_t y) const
    {
        const uint8_t* p = rgba.data() + (size_t(y) * info.width + x) * 4;
        return {p[0], p[1], p[2], p[3]};
    }
};

// Keeps every picture in memory, and checks that rows come as announced.
class Capture : public PsdPictureSink {
public:
    bool Begin(const PsdPictureInfo& info, std::string&) override
    {
        pictures.push_back({info, {}});
        return true;
    }
    bool Row(const uint8_t* rgba, std::string&) override
    {
        Picture& p = pictures.back();
        EXPECT_LT(p.rgba.size(), size_t(p.info.width) * p.info.height * 4);
        p.rgba.insert(p.rgba.end(), rgba, rgba + size_t(p.info.width) * 4);
        return true;
    }
    bool End(std::string&) override
    {
        EXPECT_EQ(pictures.back().rgba.size(), size_t(pictures.back().info.width) * pictures.back().info.height * 4);
        return true;
    }
    std::vector<Picture> pictures;  // bottom first
};

struct Decoded {
    bool ok = false;
    std::string error;
    PsdDecoding decoding;
    Capture capture;
    // The picture of the set layer with this name.
    const Picture& picture(const std::wstring& name) const
    {
        const auto& layers = decoding.plan.layers;
        for (size_t i = 0; i < layers.size(); ++i) {
            if (layers[i].name == name)
                return capture.pictures[layers.size() - 1 - i];
        }
        ADD_FAILURE() << "no layer named " << std::string(name.begin(), name.end());
        static const Picture none;
        return none;
    }
    const PsdPlannedLayer* layer(const std::wstring& name) const
    {
        for (const PsdPlannedLayer& l : decoding.plan.layers) {
            if (l.name == name)
                return &l;
        }
        return nullptr;
    }
    bool reports(PsdChange change, const std::wstring& layerName) const
    {
        for (const PsdReportEntry& e : decoding.plan.report) {
            if (e.change == change && e.layer == layerName)
                return true;
        }
        return false;
    }
};

std::unique_ptr<Decoded> Decode(const std::string& bytes)
{
    auto d = std::make_unique<Decoded>();
    PsdMemoryBytes source(bytes);
    d->ok = DecodePsd(source, d->capture, d->decoding, d->error);
    return d;
}

Pixel Gradient(int x, int y) { return {uint8_t(x * 7), uint8_t(40 * y), uint8_t(255 - 3 * x), uint8_t(6 * x + y)}; }

TEST(PsdDecode, EveryDepthAndCompressionGivesTheSamePixels)
{
    for (const bool large : {false, true}) {
        for (const int depth : {8, 16, 32}) {
            for (const int compression : {0, 1, 2, 3}) {
                SCOPED_TRACE("depth " + std::to_string(depth) + " compression " + std::to_string(compression) +
                             (large ? " PSB" : ""));
                MakerFile file;
                file.width = 40;
                file.height = 8;
                file.depth = depth;
                file.compression = compression;
                file.large = large;
                MakerLayer layer = PixelLayer("Gradient", {1, 2, 6, 39}, {});
                layer.pixel = Gradient;
                file.layers = {layer};
                const auto d = Decode(MakePsd(file));
                ASSERT_TRUE(d->ok) << d->error;
                ASSERT_EQ(d->capture.pictures.size(), 1u);
                const Picture& p = d->capture.pictures[0];
                EXPECT_EQ(p.info.left, 2);
                EXPECT_EQ(p.info.top, 1);
                ASSERT_EQ(p.info.width, 37u);
                ASSERT_EQ(p.info.height, 5u);
                int worst = 0;
                for (uint32_t y = 0; y < 5; ++y) {
                    for (uint32_t x = 0; x < 37; ++x) {
                        const Pixel want = Gradient(int(x), int(y)), got = p.at(x, y);
                        for (size_t c = 0; c < 4; ++c)
                            worst = std::max(worst, std::abs(int(want[c]) - int(got[c])));
                    }
                }
                // 32-bit samples pass through linear light and back.
                EXPECT_LE(worst, depth == 32 ? 1 : 0);
            }
        }
    }
}

TEST(PsdDecode, GroupsHideAndFadeTheirLayersAndOpacitiesMultiply)
{
    MakerFile file;
    MakerLayer back = PixelLayer("Back", {0, 0, 16, 16}, {10, 20, 30, 255});
    back.blend = "mron";  // "norm" as one writer stores it, backwards
    MakerLayer inside = PixelLayer("Inside", {0, 0, 4, 4}, {255, 0, 0, 255});
    MakerLayer faded = PixelLayer("Faded", {4, 4, 8, 8}, {0, 255, 0, 255});
    faded.opacity = 128;
    faded.fill = 128;
    file.layers = {back,
                   GroupEnd(), inside, GroupStart("Hidden group", true),
                   GroupEnd(), GroupEnd(), faded, GroupStart("Inner", false, 128), GroupStart("Outer", false, 255)};
    const auto d = Decode(MakePsd(file));
    ASSERT_TRUE(d->ok) << d->error;
    const auto& layers = d->decoding.plan.layers;
    ASSERT_EQ(layers.size(), 3u);
    EXPECT_EQ(layers[0].name, L"Faded");
    EXPECT_EQ(layers[1].name, L"Inside");
    EXPECT_EQ(layers[2].name, L"Back");
    EXPECT_TRUE(layers[0].visible);
    EXPECT_FALSE(layers[1].visible);  // its group is hidden
    EXPECT_TRUE(layers[2].visible);
    // 128/255 three times: opacity, fill and the inner group's opacity.
    EXPECT_NEAR(d->picture(L"Faded").at(1, 1)[3], 255.0 * 0.502 * 0.502 * 0.502, 1.0);
    EXPECT_EQ(d->picture(L"Back").at(3, 3), (Pixel{10, 20, 30, 255}));
    EXPECT_TRUE(d->decoding.plan.report.empty());
}

TEST(PsdDecode, MasksAndClippingBakeIntoAlphaAndOtherBlendModesAreReported)
{
    MakerFile file;
    MakerLayer masked = PixelLayer("Masked", {0, 0, 16, 16}, {200, 0, 0, 255});
    masked.mask = MakerMask{{4, 4, 12, 12}, 0, [](int x, int) { return uint8_t(x < 4 ? 255 : 100); }};
    MakerLayer inverted = PixelLayer("Outside shown", {0, 0, 16, 16}, {0, 0, 200, 255});
    inverted.mask = MakerMask{{4, 4, 12, 12}, 255, [](int, int) { return uint8_t(0); }};
    // The base is transparent on its left half and half opaque as a layer.
    MakerLayer base = PixelLayer("Base", {0, 0, 16, 16}, {});
    base.pixel = [](int x, int) { return Pixel{50, 50, 50, uint8_t(x < 8 ? 0 : 255)}; };
    base.opacity = 128;
    MakerLayer clipped = PixelLayer("Clipped", {2, 0, 14, 16}, {0, 250, 0, 255});
    clipped.clipped = true;
    clipped.blend = "mul ";
    MakerLayer levels = PixelLayer("Levels", {0, 0, 0, 0}, {});
    levels.extraBlockKey = "levl";
    file.layers = {masked, inverted, base, clipped, levels};
    const auto d = Decode(MakePsd(file));
    ASSERT_TRUE(d->ok) << d->error;

    const Picture& m = d->picture(L"Masked");
    EXPECT_EQ(m.at(0, 0)[3], 0);    // outside the mask: its default colour, 0
    EXPECT_EQ(m.at(5, 5)[3], 255);  // mask value 255
    EXPECT_EQ(m.at(10, 5)[3], 100);
    EXPECT_EQ(m.at(0, 0)[0], 200);  // colour kept where transparent
    const Picture& o = d->picture(L"Outside shown");
    EXPECT_EQ(o.at(0, 0)[3], 255);
    EXPECT_EQ(o.at(6, 6)[3], 0);

    const Picture& c = d->picture(L"Clipped");
    EXPECT_EQ(c.info.left, 0);
    EXPECT_EQ(c.at(3, 5)[3], 0);             // over the base's transparent half
    EXPECT_NEAR(c.at(12, 5)[3], 128, 1);     // the base's opacity carries over
    EXPECT_NEAR(d->picture(L"Base").at(12, 5)[3], 128, 1);
    EXPECT_TRUE(d->reports(PsdChange::BlendShownNormal, L"Clipped"));
    EXPECT_TRUE(d->reports(PsdChange::AdjustmentSkipped, L"Levels"));
    EXPECT_EQ(d->layer(L"Levels"), nullptr);
}

TEST(PsdDecode, NamesComeFromUnicodeThenPascalAndAreMadeUniqueByGroupPath)
{
    testsupport::ScopedEnv utf8("LC_ALL", "C.UTF-8");
    MakerFile file;
    MakerLayer unicode = PixelLayer("Cafe", {0, 0, 2, 2}, {1, 1, 1, 255});
    unicode.unicode = std::u16string(u"Caf\u00e9 \u2615") + u'\0';
    MakerLayer nameless = PixelLayer("", {0, 0, 2, 2}, {1, 1, 1, 255});
    MakerLayer longName = PixelLayer("", {0, 0, 2, 2}, {1, 1, 1, 255});
    longName.unicode = std::u16string(40, u'\u00e9');  // 80 bytes of UTF-8
    file.layers = {unicode, nameless, longName,
                   GroupEnd(), PixelLayer("Matte", {0, 0, 2, 2}, {1, 1, 1, 255}), GroupStart("Version B"),
                   GroupEnd(), PixelLayer("Matte", {0, 0, 2, 2}, {1, 1, 1, 255}),
                   PixelLayer("Matte", {0, 0, 2, 2}, {1, 1, 1, 255}), GroupStart("Version A")};
    const auto d = Decode(MakePsd(file));
    ASSERT_TRUE(d->ok) << d->error;
    std::vector<std::wstring> names;
    for (const PsdPlannedLayer& l : d->decoding.plan.layers)
        names.push_back(l.name);
    const std::vector<std::wstring> want = {L"Version A / Matte", L"Version A / Matte 2", L"Version B / Matte",
                                            std::wstring(31, L'\u00e9'), L"Layer 2", L"Caf\u00e9 \u2615"};
    EXPECT_EQ(names, want);
    EXPECT_TRUE(d->reports(PsdChange::Renamed, L"Matte"));
    EXPECT_TRUE(d->reports(PsdChange::Renamed, std::wstring(40, L'\u00e9')));
    EXPECT_FALSE(d->reports(PsdChange::Renamed, L"Caf\u00e9 \u2615"));
}

TEST(PsdDecode, FilesWithoutLayersGiveTheirFlattenedPictureEvenInCmyk)
{
    MakerFile file;
    file.mode = 4;
    file.width = 4;
    file.height = 2;
    // Ink: none, full black, full cyan, half magenta.
    file.flattened = [](int x, int) {
        static const Pixel inks[] = {{0, 0, 0, 0}, {0, 0, 0, 255}, {255, 0, 0, 0}, {0, 128, 0, 0}};
        return inks[x];
    };
    const auto d = Decode(MakePsd(file));
    ASSERT_TRUE(d->ok) << d->error;
    EXPECT_TRUE(d->decoding.flattened);
    ASSERT_EQ(d->capture.pictures.size(), 1u);
    const Picture& p = d->capture.pictures[0];
    EXPECT_EQ(p.at(0, 1), (Pixel{255, 255, 255, 255}));
    EXPECT_EQ(p.at(1, 1), (Pixel{0, 0, 0, 255}));
    EXPECT_EQ(p.at(2, 0), (Pixel{0, 255, 255, 255}));
    EXPECT_NEAR(p.at(3, 0)[1], 127, 1);
    EXPECT_TRUE(d->reports(PsdChange::FlattenedOnly, L"Background"));
}

// A valid small file with one 8 x 4 layer, for damaging.
MakerFile SmallFile(int compression)
{
    MakerFile file;
    file.compression = compression;
    MakerLayer layer = PixelLayer("Layer", {2, 2, 6, 10}, {});
    layer.pixel = Gradient;
    file.layers = {layer};
    return file;
}

TEST(PsdDecode, RefusesHostileClaimsAndDamagedDataWithAReason)
{
    const auto refused = [](const std::string& bytes, const std::string& reason) {
        const auto d = Decode(bytes);
        EXPECT_FALSE(d->ok);
        EXPECT_NE(d->error.find(reason), std::string::npos) << d->error;
    };
    MakerFile huge = SmallFile(2);
    huge.layers[0].rect = {0, 0, 1, 40000};
    huge.layers[0].pixel = [](int, int) { return Pixel{}; };
    refused(MakePsd(huge), "at most 32768 on a side");
    MakerFile canvas = SmallFile(0);
    canvas.width = 20000;
    canvas.layers.clear();
    canvas.flattened = [](int, int) { return Pixel{}; };
    refused(MakePsd(canvas).substr(0, 200), "at most 16384 on a side");

    // A run-length row count far beyond its row, and zip bytes that are no zip stream.
    std::string rle = MakePsd(SmallFile(1));
    const size_t record = rle.find("8BIMnorm");
    ASSERT_NE(record, std::string::npos);
    // The record ends 16 bytes of extra data (empty mask and ranges, the name) later;
    // then the first channel: its compression field and its first row's size.
    const size_t firstRow = record + 8 + 4 + 4 + 16 + 2;
    rle[firstRow] = '\xff';
    rle[firstRow + 1] = '\xff';
    refused(rle, "run-length row is too long");
    std::string zip = MakePsd(SmallFile(2));
    const size_t stream = zip.find("\x78\x9c");
    ASSERT_NE(stream, std::string::npos);
    zip[stream + 2] ^= 0x55;
    zip[stream + 3] ^= 0x55;
    refused(zip, "damaged");

    // Cut anywhere: a reason, never a crash.
    for (const int compression : {0, 1, 2, 3}) {
        const std::string whole = MakePsd(SmallFile(compression));
        for (size_t size = 0; size + 1 < whole.size(); size += 7) {
            const auto d = Decode(whole.substr(0, size));
            if (d->ok)  // only the flattened picture may be missing: a layered file does not need it
                EXPECT_GE(size, whole.size() - 2 - 3 * 16 * 16);
            else
                EXPECT_FALSE(d->error.empty());
        }
    }
}

}  // namespace
