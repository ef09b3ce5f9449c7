// The Photoshop import on real files from public PSD test suites (see
// data/LICENSES.md): layer order, names, hidden flags, places, masks, 16-bit
// and CMYK files, as the files' own projects state them.
#include "formats/PsdReader.h"
#include "platform/TextConv.h"

#include <gtest/gtest.h>
#include <lodepng.h>

#include <algorithm>
#include <cstdlib>

namespace {

std::wstring Fixture(const std::string& name)
{
    return platform::Utf8ToWide(std::string(KELVANE_SOURCE_DIR) + "/tests/formats_psd/data/" + name);
}

PsdDocument Read(const std::string& name)
{
    PsdDocument document;
    std::string error;
    EXPECT_TRUE(ReadPsdDocument(Fixture(name), document, error)) << name << " " << error;
    return document;
}

std::vector<std::wstring> Names(const PsdDocument& d)
{
    std::vector<std::wstring> names;
    for (const PsdLayer& l : d.layers)
        names.push_back(l.name);
    return names;
}

std::vector<std::wstring> VisibleNames(const PsdDocument& d)
{
    std::vector<std::wstring> names;
    for (const PsdLayer& l : d.layers) {
        if (l.visible)
            names.push_back(l.name);
    }
    return names;
}

size_t Count(const PsdDocument& d, PsdChange change)
{
    return static_cast<size_t>(
        std::count_if(d.report.begin(), d.report.end(), [&](const PsdReportEntry& e) { return e.change == change; }));
}

struct Rgba {
    unsigned width = 0, height = 0;
    std::vector<unsigned char> pixels;
    unsigned alpha(unsigned x, unsigned y) const { return pixels[(size_t(y) * width + x) * 4 + 3]; }
};

Rgba Load(const PsdLayer& layer)
{
    Rgba image;
    EXPECT_EQ(lodepng::decode(image.pixels, image.width, image.height, platform::WideToUtf8(layer.picture)), 0u);
    EXPECT_EQ(image.width, layer.width);
    EXPECT_EQ(image.height, layer.height);
    return image;
}

TEST(PsdFixtures, HiddenGroupsHideTheirLayersAndRepeatedNamesGetTheirGroup)
{
    const PsdDocument example = Read("psdrb-example.psd");
    const std::vector<std::wstring> names = {
        L"Version C / Make a change and save.", L"Version C / Logo_Glyph", L"Version C / Matte",
        L"Version B / Make a change and save.", L"Version B / Logo_Glyph", L"Version B / Matte",
        L"Version A / Make a change and save.", L"Version A / Logo_Glyph", L"Version A / Matte"};
    ASSERT_EQ(Names(example), names);
    EXPECT_EQ(VisibleNames(example), std::vector<std::wstring>(names.end() - 3, names.end()));
    EXPECT_EQ(Count(example, PsdChange::Renamed), 9u);
    const PsdLayer& text = example.layers[6];
    EXPECT_EQ(text.left, 275);
    EXPECT_EQ(text.top, 435);
    EXPECT_EQ(text.width, 361u);
    EXPECT_EQ(text.height, 31u);
    EXPECT_EQ(example.layers[7].width, 142u);
    EXPECT_EQ(example.layers[8].width, 900u);
    EXPECT_FALSE(example.thumbnailJpeg.empty());

    const PsdDocument lantern = Read("agpsd-lantern.psd");
    ASSERT_EQ(lantern.layers.size(), 8u);
    EXPECT_EQ(lantern.layers[0].name, L"frame 8");
    EXPECT_EQ(VisibleNames(lantern), std::vector<std::wstring>{L"frame 1"});

    // Ten nested groups: empty layers are left out and said so.
    const PsdDocument empty = Read("psdrb-empty-layer-subgroups.psd");
    ASSERT_EQ(Names(empty), std::vector<std::wstring>{L"image"});
    EXPECT_EQ(Count(empty, PsdChange::EmptySkipped), 8u);
    EXPECT_EQ(empty.layers[0].left, 448);
    EXPECT_EQ(empty.layers[0].width, 264u);

    const PsdDocument groups = Read("agpsd-groups.psd");
    ASSERT_EQ(Names(groups), (std::vector<std::wstring>{L"Layer 1", L"Layer 3", L"Layer 0"}));
    EXPECT_EQ(groups.layers[1].left, 0);
    EXPECT_EQ(groups.layers[1].top, 15);
}

TEST(PsdFixtures, TheUserMaskMakesTheLayerTransparentOutsideIt)
{
    const PsdDocument d = Read("agpsd-layer-mask.psd");
    ASSERT_EQ(d.layers.size(), 1u);
    const Rgba image = Load(d.layers[0]);
    // The mask covers (12,7)-(189,172) and is 0 around it.
    for (unsigned y = 0; y < 200; y += 3) {
        for (unsigned x = 0; x < 200; x += 3) {
            if (x < 12 || x >= 189 || y < 7 || y >= 172) {
                ASSERT_EQ(image.alpha(x, y), 0u) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(image.alpha(100, 90), 255u);
}

TEST(PsdFixtures, SixteenBitFilesKeepTheirLayersAtTheirPlaces)
{
    const PsdDocument one = Read("agpsd-16bits.psd");
    ASSERT_EQ(one.layers.size(), 1u);
    EXPECT_EQ(one.layers[0].name, L"Layer 1");
    EXPECT_EQ(one.layers[0].left, -36);
    EXPECT_EQ(one.layers[0].top, -34);
    EXPECT_EQ(one.layers[0].width, 569u);
    EXPECT_EQ(one.layers[0].height, 591u);
    const Rgba image = Load(one.layers[0]);
    EXPECT_GT(image.alpha(300, 300), 0u);

    // Six groups (five hidden), their layers in the 16-bit block, raw and zip with prediction.
    const PsdDocument example = Read("psdrb-example16.psd");
    ASSERT_EQ(example.layers.size(), 12u);
    EXPECT_EQ(VisibleNames(example),
              (std::vector<std::wstring>{L"Version A / Make a change and save.", L"Version A / Matte"}));
    EXPECT_EQ(example.layers[0].name, L"Version D / Make a change and save.");
    EXPECT_EQ(example.layers[4].name, L"Version D / Version E / Version F / Make a change and save.");
    EXPECT_EQ(Count(example, PsdChange::EmptySkipped), 6u);  // "Logo_Glyph" stores no pixels here
    EXPECT_EQ(example.layers[10].left, 275);
    EXPECT_EQ(example.layers[10].top, 435);
    EXPECT_EQ(example.layers[11].width, 900u);
}

TEST(PsdFixtures, CmykTextFileGivesItsFourLayersInSrgb)
{
    const PsdDocument d = Read("psdrb-alignment_modes.psd");
    EXPECT_EQ(d.width, 2175u);
    ASSERT_EQ(Names(d), (std::vector<std::wstring>{L"justify", L"center", L"right", L"left"}));
    EXPECT_EQ(VisibleNames(d), std::vector<std::wstring>{L"justify"});
    // Grey text: its darkest covered pixel is a neutral mid grey.
    const Rgba image = Load(d.layers[0]);
    unsigned darkest = 255 * 3, at = 0;
    for (size_t i = 0; i < image.pixels.size(); i += 4) {
        const unsigned sum = image.pixels[i] + image.pixels[i + 1] + image.pixels[i + 2];
        if (image.pixels[i + 3] == 255 && sum < darkest) {
            darkest = sum;
            at = static_cast<unsigned>(i);
        }
    }
    EXPECT_GT(darkest, 3u * 100);
    EXPECT_LT(darkest, 3u * 220);
    EXPECT_NEAR(image.pixels[at], image.pixels[at + 2], 12);
}

}  // namespace
