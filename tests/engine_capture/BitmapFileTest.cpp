// The snapshot's bitmap writer, read back by an independent reader (QImage)
// and by its header bytes.
#include "engine/BitmapFile.h"

#include <QImage>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

uint32_t U32At(const std::string& bytes, size_t offset)
{
    uint32_t v = 0;
    std::memcpy(&v, bytes.data() + offset, 4);
    return v;
}

uint16_t U16At(const std::string& bytes, size_t offset)
{
    uint16_t v = 0;
    std::memcpy(&v, bytes.data() + offset, 2);
    return v;
}

// A 3 x 2 picture, B, G, R, A bytes, rows from the top, with 4 bytes of
// padding per row: top row red, green, blue; bottom row white, black, clear.
std::vector<uint8_t> SmallPicture()
{
    const uint8_t rows[2][16] = {
        {0, 0, 255, 255, 0, 255, 0, 255, 255, 0, 0, 255, 9, 9, 9, 9},
        {255, 255, 255, 255, 0, 0, 0, 255, 10, 20, 30, 0, 9, 9, 9, 9},
    };
    return std::vector<uint8_t>(&rows[0][0], &rows[0][0] + sizeof(rows));
}

}  // namespace

TEST(BitmapFile, HeaderDescribesA32BitPictureWithAlpha)
{
    const auto pixels = SmallPicture();
    const std::string bmp = EncodeBitmap32(pixels.data(), 3, 2, 16);
    ASSERT_EQ(bmp.size(), 14u + 124u + 3u * 2u * 4u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(U32At(bmp, 2), bmp.size());
    EXPECT_EQ(U32At(bmp, 10), 138u);
    EXPECT_EQ(U32At(bmp, 14), 124u);
    EXPECT_EQ(static_cast<int32_t>(U32At(bmp, 18)), 3);
    EXPECT_EQ(static_cast<int32_t>(U32At(bmp, 22)), 2);
    EXPECT_EQ(U16At(bmp, 28), 32);
    EXPECT_EQ(U32At(bmp, 30), 3u);  // bit fields
    EXPECT_EQ(U32At(bmp, 66), 0xFF000000u);  // alpha mask
}

TEST(BitmapFile, ReadsBackUprightWithColoursAndAlpha)
{
    const auto pixels = SmallPicture();
    const std::string bmp = EncodeBitmap32(pixels.data(), 3, 2, 16);
    QImage image;
    ASSERT_TRUE(image.loadFromData(reinterpret_cast<const uchar*>(bmp.data()), static_cast<int>(bmp.size()), "BMP"));
    ASSERT_EQ(image.width(), 3);
    ASSERT_EQ(image.height(), 2);
    EXPECT_TRUE(image.hasAlphaChannel());
    EXPECT_EQ(image.pixel(0, 0), qRgba(255, 0, 0, 255));
    EXPECT_EQ(image.pixel(1, 0), qRgba(0, 255, 0, 255));
    EXPECT_EQ(image.pixel(2, 0), qRgba(0, 0, 255, 255));
    EXPECT_EQ(image.pixel(0, 1), qRgba(255, 255, 255, 255));
    EXPECT_EQ(qAlpha(image.pixel(2, 1)), 0);
}

TEST(BitmapFile, RefusesEmptyOrInconsistentInput)
{
    const auto pixels = SmallPicture();
    EXPECT_TRUE(EncodeBitmap32(pixels.data(), 0, 2, 16).empty());
    EXPECT_TRUE(EncodeBitmap32(pixels.data(), 3, 0, 16).empty());
    EXPECT_TRUE(EncodeBitmap32(nullptr, 3, 2, 16).empty());
    EXPECT_TRUE(EncodeBitmap32(pixels.data(), 3, 2, 8).empty());  // stride shorter than a row
    EXPECT_TRUE(EncodeBitmap32(pixels.data(), 70000, 70000, 280000).empty());  // over 4 GiB
}
