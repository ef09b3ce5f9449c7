// The filter's reading of UV-map files: full 16-bit values in the machine's
// byte order, any readable PNG converted, and every bad file refused safely.
#include "UvMapImage.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <lodepng.h>

namespace {

std::vector<unsigned char> EncodePng(const std::vector<unsigned char>& raw, unsigned w, unsigned h, LodePNGColorType type,
                                     unsigned depth)
{
    lodepng::State state;
    state.info_raw.colortype = type;
    state.info_raw.bitdepth = depth;
    state.info_png.color.colortype = type;
    state.info_png.color.bitdepth = depth;
    state.encoder.auto_convert = 0;
    std::vector<unsigned char> png;
    EXPECT_EQ(lodepng::encode(png, raw, w, h, state), 0u);
    return png;
}

void Save(const std::string& path, const std::vector<unsigned char>& bytes)
{
    testsupport::WriteFileBytes(path, std::string(bytes.begin(), bytes.end()));
}

std::string LoadError(const std::string& path)
{
    UvMapImage image;
    std::string error;
    EXPECT_FALSE(LoadUvMapImage(path, image, error)) << path;
    EXPECT_TRUE(image.texels.empty());
    return error;
}

}  // namespace

TEST(UvMapImage, SixteenBitValuesArriveExactly)
{
    testsupport::TempDir dir;
    // Two texels; big-endian channel bytes as the PNG stores them.
    const std::vector<unsigned char> raw = {0x12, 0x34, 0xab, 0xcd, 0x00, 0x01, 0xff, 0xff,
                                            0x80, 0x00, 0x00, 0xff, 0xfe, 0xdc, 0x00, 0x00};
    Save(dir.file("map.png"), EncodePng(raw, 2, 1, LCT_RGBA, 16));
    UvMapImage image;
    std::string error;
    ASSERT_TRUE(LoadUvMapImage(dir.file("map.png"), image, error)) << error;
    EXPECT_EQ(image.width, 2u);
    EXPECT_EQ(image.height, 1u);
    const std::vector<uint16_t> want = {0x1234, 0xabcd, 0x0001, 0xffff, 0x8000, 0x00ff, 0xfedc, 0x0000};
    EXPECT_EQ(image.texels, want);
}

TEST(UvMapImage, EightBitMapsAreWidenedToSixteenBits)
{
    testsupport::TempDir dir;
    Save(dir.file("map8.png"), EncodePng({255, 128, 0, 1}, 1, 1, LCT_RGBA, 8));
    UvMapImage image;
    std::string error;
    ASSERT_TRUE(LoadUvMapImage(dir.file("map8.png"), image, error)) << error;
    const std::vector<uint16_t> want = {0xffff, 0x8080, 0x0000, 0x0101};
    EXPECT_EQ(image.texels, want);
}

TEST(UvMapImage, BadFilesAreRefusedWithAReason)
{
    testsupport::TempDir dir;
    EXPECT_NE(LoadError(dir.file("missing.png")).find("cannot be opened"), std::string::npos);
    EXPECT_NE(LoadError(dir.path()).find("not a regular file"), std::string::npos);

    testsupport::WriteFileBytes(dir.file("empty.png"), "");
    EXPECT_NE(LoadError(dir.file("empty.png")).find("not a PNG"), std::string::npos);
    testsupport::WriteFileBytes(dir.file("jpeg.png"), std::string("\xff\xd8\xff\xe0\x00\x10JFIF\x00", 11));
    EXPECT_NE(LoadError(dir.file("jpeg.png")).find("not a PNG"), std::string::npos);

    std::vector<unsigned char> good = EncodePng(std::vector<unsigned char>(64 * 64 * 8, 7), 64, 64, LCT_RGBA, 16);
    std::vector<unsigned char> cut(good.begin(), good.begin() + good.size() / 2);
    Save(dir.file("cut.png"), cut);
    EXPECT_NE(LoadError(dir.file("cut.png")).find("damaged"), std::string::npos);

    std::vector<unsigned char> flipped = good;
    flipped[flipped.size() - 20] ^= 0xff;  // inside the pixel data or its checksum
    Save(dir.file("flipped.png"), flipped);
    EXPECT_FALSE(LoadError(dir.file("flipped.png")).empty());
}

TEST(UvMapImage, AHeaderClaimingAHugeImageIsRefusedBeforeDecoding)
{
    testsupport::TempDir dir;
    std::vector<unsigned char> png = EncodePng(std::vector<unsigned char>(8, 0), 1, 1, LCT_RGBA, 16);
    // IHDR data starts at byte 16: width then height, big-endian.
    const unsigned char huge[8] = {0x00, 0x01, 0x86, 0xa0, 0x00, 0x01, 0x86, 0xa0};  // 100000 x 100000
    std::copy(huge, huge + 8, png.begin() + 16);
    lodepng_chunk_generate_crc(png.data() + 8);
    Save(dir.file("huge.png"), png);
    EXPECT_NE(LoadError(dir.file("huge.png")).find("larger than a UV map may be"), std::string::npos);
}
