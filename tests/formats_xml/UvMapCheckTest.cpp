#include "formats/UvMapCheck.h"
#include "platform/TextConv.h"
#include "support/TestSupport.h"

#include <QImage>
#include <gtest/gtest.h>
#include <lodepng.h>
#include <string>
#include <vector>

using testsupport::TempDir;
using testsupport::WriteFileBytes;

namespace {

// A PNG written exactly in the given colour type and depth (no automatic
// choice of a smaller form).
std::string MakePng(unsigned w, unsigned h, LodePNGColorType type, unsigned depth)
{
    lodepng::State state;
    state.info_raw.colortype = type;
    state.info_raw.bitdepth = depth;
    state.info_png.color.colortype = type;
    state.info_png.color.bitdepth = depth;
    state.encoder.auto_convert = 0;
    std::vector<unsigned char> pixels(lodepng_get_raw_size(w, h, &state.info_raw));
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<unsigned char>(i * 37);
    std::vector<unsigned char> png;
    EXPECT_EQ(lodepng::encode(png, pixels.data(), w, h, state), 0u);
    return std::string(png.begin(), png.end());
}

size_t ChunkAt(const std::string& png, const char* type) { return png.find(type) - 4; }

uint32_t ReadBigEndian(const std::string& s, size_t at)
{
    return (uint32_t(uint8_t(s[at])) << 24) | (uint32_t(uint8_t(s[at + 1])) << 16) | (uint32_t(uint8_t(s[at + 2])) << 8) |
           uint8_t(s[at + 3]);
}

void WriteBigEndian(std::string& s, size_t at, uint32_t v)
{
    for (int k = 0; k < 4; ++k)
        s[at + k] = static_cast<char>((v >> (24 - 8 * k)) & 0xFF);
}

bool Check(const std::string& path, UvMapImageInfo* info = nullptr)
{
    return CheckUvMapImage(platform::Utf8ToWide(path), info);
}

}  // namespace

TEST(UvMapCheck, SixteenBitRgbaIsAccepted)
{
    TempDir dir;
    WriteFileBytes(dir.file("uv.png"), MakePng(7, 5, LCT_RGBA, 16));
    UvMapImageInfo info;
    EXPECT_TRUE(Check(dir.file("uv.png"), &info)) << info.reason;
    EXPECT_EQ(info.width, 7u);
    EXPECT_EQ(info.height, 5u);
    EXPECT_EQ(info.bitsPerPixel, 64u);
    EXPECT_EQ(info.reason, "");
}

TEST(UvMapCheck, OtherDepthsAndColourTypesAreRejected)
{
    TempDir dir;
    const struct {
        LodePNGColorType type;
        unsigned depth;
        unsigned bitsPerPixel;
    } cases[] = {{LCT_RGBA, 8, 32}, {LCT_RGB, 16, 48}, {LCT_GREY_ALPHA, 16, 48}, {LCT_GREY, 16, 48}};
    for (const auto& c : cases) {
        WriteFileBytes(dir.file("x.png"), MakePng(4, 4, c.type, c.depth));
        UvMapImageInfo info;
        EXPECT_FALSE(Check(dir.file("x.png"), &info)) << c.type << "/" << c.depth;
        EXPECT_EQ(info.bitsPerPixel, c.bitsPerPixel);
        EXPECT_NE(info.reason.find("16-bit RGBA"), std::string::npos) << info.reason;
    }
}

TEST(UvMapCheck, JpegNamedPngIsRejected)
{
    TempDir dir;
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(QString::fromStdString(dir.file("photo.png")), "JPG"));
    UvMapImageInfo info;
    EXPECT_FALSE(Check(dir.file("photo.png"), &info));
    EXPECT_NE(info.reason.find("not a PNG"), std::string::npos) << info.reason;
}

TEST(UvMapCheck, BrokenCrcAndTruncatedDataAreRejectedThoughTheHeaderIsRight)
{
    TempDir dir;
    std::string png = MakePng(16, 16, LCT_RGBA, 16);
    const size_t idat = ChunkAt(png, "IDAT");
    const uint32_t length = ReadBigEndian(png, idat);
    std::string badCrc = png;
    badCrc[idat + 8 + length] ^= 0x55;
    WriteFileBytes(dir.file("crc.png"), badCrc);
    UvMapImageInfo info;
    EXPECT_FALSE(Check(dir.file("crc.png"), &info));
    EXPECT_EQ(info.bitsPerPixel, 64u) << "the header itself reads";
    EXPECT_NE(info.reason.find("damaged"), std::string::npos) << info.reason;

    WriteFileBytes(dir.file("cut.png"), png.substr(0, idat + 8 + length / 2));
    EXPECT_FALSE(Check(dir.file("cut.png"), &info));
}

TEST(UvMapCheck, HugeSizeInTheHeaderIsRefusedBeforeDecoding)
{
    TempDir dir;
    std::string png = MakePng(1, 1, LCT_RGBA, 16);
    const size_t ihdr = ChunkAt(png, "IHDR");
    WriteBigEndian(png, ihdr + 8, 60000);
    WriteBigEndian(png, ihdr + 12, 60000);
    const uint32_t crc = lodepng_crc32(reinterpret_cast<const unsigned char*>(png.data()) + ihdr + 4, 4 + 13);
    WriteBigEndian(png, ihdr + 8 + 13, crc);
    WriteFileBytes(dir.file("huge.png"), png);
    UvMapImageInfo info;
    EXPECT_FALSE(Check(dir.file("huge.png"), &info));
    EXPECT_EQ(info.width, 60000u);
    EXPECT_NE(info.reason.find("too large"), std::string::npos) << info.reason;
}

TEST(UvMapCheck, MissingFilesAndFoldersAreRejected)
{
    TempDir dir;
    UvMapImageInfo info;
    EXPECT_FALSE(Check(dir.file("missing.png"), &info));
    EXPECT_FALSE(info.reason.empty());
    EXPECT_FALSE(Check(dir.path(), &info));
    EXPECT_FALSE(CheckUvMapImage(L""));
}

TEST(UvMapCheck, PathsWithAnyCharactersOpen)
{
    TempDir dir;
    const std::string path = dir.file("\xE4\xB8\xAD\xE6\x96\x87 uv \xC3\xA9.png");
    WriteFileBytes(path, MakePng(2, 2, LCT_RGBA, 16));
    EXPECT_TRUE(Check(path));
}

TEST(UvMapCheckCli, PrintsSizeAndDepthOrTheReason)
{
    TempDir dir;
    WriteFileBytes(dir.file("uv.png"), MakePng(4, 3, LCT_RGBA, 16));
    WriteFileBytes(dir.file("rgba8.png"), MakePng(4, 3, LCT_RGBA, 8));
    const std::string cli = testsupport::BuiltProgram("kelvane-cli");
    std::string out;
    EXPECT_EQ(testsupport::RunCommand(cli + " check-uv '" + dir.file("uv.png") + "'", &out), 0);
    EXPECT_EQ(out, "ok 4 x 3 x 64\n");
    EXPECT_EQ(testsupport::RunCommand(cli + " check-uv '" + dir.file("rgba8.png") + "' 2>&1", &out), 2);
    EXPECT_NE(out.find("64 bits per pixel"), std::string::npos) << out;
    EXPECT_EQ(testsupport::RunCommand(cli + " check-uv 2>/dev/null", &out), 2);
}
