// The image facade, without a display or an application object.
#include "SceneTestData.h"
#include "support/TestSupport.h"

#include "platform/Image.h"
#include "platform/TextConv.h"

#include <QImage>
#include <cstring>
#include <gtest/gtest.h>

using platform::Image;
using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::WriteFileBytes;

namespace {

uint32_t U32At(const std::string& bytes, size_t offset)
{
    uint32_t v;
    std::memcpy(&v, bytes.data() + offset, 4);
    return v;
}

// 3 × 2 pixels, B, G, R, A per pixel, top row first; each pixel unique.
std::vector<uint8_t> TopDownBgra()
{
    std::vector<uint8_t> px;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            px.insert(px.end(), {uint8_t(10 * x), uint8_t(100 + y), uint8_t(200 + x), uint8_t(60 + 40 * x + 100 * y)});
    return px;
}

}  // namespace

TEST(Image, LoadDetectsTheFormatFromTheBytesNotTheName)
{
    TempDir dir;
    WriteFileBytes(dir.file("really-a-png.jpg"), scenetest::PngBytes(7, 5, 0xff00ff00u));
    WriteFileBytes(dir.file("really-a-jpeg.bmp"), scenetest::JpegBytes(9, 4, 0xff0000ffu));
    Image png, jpeg, none;
    ASSERT_TRUE(png.Load(dir.wfile("really-a-png.jpg")));
    EXPECT_EQ(png.Width(), 7);
    EXPECT_EQ(png.Height(), 5);
    ASSERT_TRUE(jpeg.Load(dir.wfile("really-a-jpeg.bmp")));
    EXPECT_EQ(jpeg.Width(), 9);
    EXPECT_FALSE(none.Load(dir.wfile("missing.png")));
    WriteFileBytes(dir.file("junk.png"), "\x89PNG but not really");
    EXPECT_FALSE(none.Load(dir.wfile("junk.png")));
    EXPECT_FALSE(none.IsValid());
}

TEST(Image, DecodeFromMemoryKeepsNoReferenceToTheBytes)
{
    std::string bytes = scenetest::PngBytes(4, 4, 0xff123456u);
    Image image;
    ASSERT_TRUE(image.Decode(bytes.data(), bytes.size()));
    std::fill(bytes.begin(), bytes.end(), '\0');
    EXPECT_EQ(image.qimage().pixel(3, 0), 0xff123456u);
    EXPECT_FALSE(image.Decode(bytes.data(), bytes.size()));
    EXPECT_FALSE(image.Decode(nullptr, 10));
}

TEST(Image, PixelArraysInBitmapOrderTopDownAndBottomUp)
{
    const std::vector<uint8_t> px = TopDownBgra();
    Image top, bottom;
    ASSERT_TRUE(top.CreateFromArray(px.data(), 3, 2, 32, 12, false));
    EXPECT_EQ(top.qimage().pixel(2, 0), qRgba(202, 100, 20, 140));
    ASSERT_TRUE(bottom.CreateFromArray(px.data(), 3, 2, 32, 12, true));
    EXPECT_EQ(bottom.qimage().pixel(2, 1), qRgba(202, 100, 20, 140));

    // 24-bit rows padded to 12 bytes.
    const uint8_t bgr[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 11, 12, 13, 14, 15, 16, 17, 18, 19, 0, 0, 0};
    Image rgb;
    ASSERT_TRUE(rgb.CreateFromArray(bgr, 3, 2, 24, 12, false));
    EXPECT_EQ(rgb.qimage().pixel(0, 1), qRgb(13, 12, 11));
    EXPECT_FALSE(rgb.CreateFromArray(bgr, 3, 2, 24, 8, false));  // rows shorter than the pixels
    EXPECT_FALSE(rgb.CreateFromArray(bgr, 3, 2, 16, 12, false));
    EXPECT_FALSE(rgb.CreateFromArray(bgr, 0, 2, 24, 12, false));
}

TEST(Image, FlipMirrorSwapAndResample)
{
    const std::vector<uint8_t> px = TopDownBgra();
    Image image;
    ASSERT_TRUE(image.CreateFromArray(px.data(), 3, 2, 32, 12, false));
    const QRgb topRight = image.qimage().pixel(2, 0);
    ASSERT_TRUE(image.Flip());
    EXPECT_EQ(image.qimage().pixel(2, 1), topRight);
    ASSERT_TRUE(image.Mirror());
    EXPECT_EQ(image.qimage().pixel(0, 1), topRight);
    ASSERT_TRUE(image.SwapRedBlue());
    EXPECT_EQ(image.qimage().pixel(0, 1), qRgba(qBlue(topRight), qGreen(topRight), qRed(topRight), qAlpha(topRight)));
    ASSERT_TRUE(image.Resample(30, 8));
    EXPECT_EQ(image.Width(), 30);
    EXPECT_EQ(image.Height(), 8);
    EXPECT_FALSE(image.Resample(0, 8));
    Image empty;
    EXPECT_FALSE(empty.Flip());
    EXPECT_FALSE(empty.SaveJpeg(L"/tmp/never-written.jpg"));
}

TEST(Image, Bmp32IsBottomUpAndKeepsAlpha)
{
    TempDir dir;
    const std::vector<uint8_t> px = TopDownBgra();
    Image image;
    ASSERT_TRUE(image.CreateFromArray(px.data(), 3, 2, 32, 12, false));
    ASSERT_TRUE(image.SaveBmp32(dir.wfile("shot.bmp")));
    const std::string bmp = ReadFileBytes(dir.file("shot.bmp"));
    ASSERT_EQ(bmp.size(), 14u + 108u + 3u * 2u * 4u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(U32At(bmp, 2), bmp.size());
    EXPECT_EQ(U32At(bmp, 10), 122u);           // pixel data offset
    EXPECT_EQ(U32At(bmp, 14), 108u);           // BITMAPV4HEADER
    EXPECT_EQ(int32_t(U32At(bmp, 22)), 2);     // positive height: bottom-up
    EXPECT_EQ(U32At(bmp, 54 + 12), 0xFF000000u);  // alpha mask
    // The first stored row is the bottom row, bytes as in the source array.
    EXPECT_EQ(std::memcmp(bmp.data() + 122, px.data() + 12, 12), 0);
    EXPECT_EQ(std::memcmp(bmp.data() + 134, px.data(), 12), 0);

    QImage back(QString::fromStdString(dir.file("shot.bmp")));
    ASSERT_FALSE(back.isNull());
    EXPECT_TRUE(back.hasAlphaChannel());
    EXPECT_EQ(back.pixel(2, 0), image.qimage().pixel(2, 0));
    EXPECT_EQ(back.pixel(0, 1), image.qimage().pixel(0, 1));
}

TEST(Image, Bmp24RowsArePaddedAndJpegLaysAlphaOverWhite)
{
    TempDir dir;
    Image image;
    const std::vector<uint8_t> clear(5 * 3 * 4, 0);  // fully transparent black
    ASSERT_TRUE(image.CreateFromArray(clear.data(), 5, 3, 32, 20, false));
    ASSERT_TRUE(image.SaveBmp(dir.wfile("x.bmp")));
    const std::string bmp = ReadFileBytes(dir.file("x.bmp"));
    EXPECT_EQ(bmp.size(), 14u + 40u + 16u * 3u);  // 15 bytes a row, padded to 16
    EXPECT_EQ(U32At(bmp, 28) & 0xFFFF, 24u);
    QImage back(QString::fromStdString(dir.file("x.bmp")));
    EXPECT_EQ(back.size(), QSize(5, 3));

    ASSERT_TRUE(image.SaveJpeg(dir.wfile("x.jpg")));
    const std::string jpeg = ReadFileBytes(dir.file("x.jpg"));
    ASSERT_GT(jpeg.size(), 4u);
    EXPECT_EQ(uint8_t(jpeg[0]), 0xFF);
    EXPECT_EQ(uint8_t(jpeg[1]), 0xD8);
    EXPECT_EQ(uint8_t(jpeg[jpeg.size() - 2]), 0xFF);
    EXPECT_EQ(uint8_t(jpeg[jpeg.size() - 1]), 0xD9);
    Image decoded;
    ASSERT_TRUE(decoded.Decode(jpeg.data(), jpeg.size()));
    EXPECT_GT(qGray(decoded.qimage().pixel(2, 1)), 245);
}
