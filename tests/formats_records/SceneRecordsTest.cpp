#include "formats/SceneRecords.h"

#include <gtest/gtest.h>

TEST(SceneRecords, FreshRecordsHoldTheDefaults)
{
    const LayerInfo layer = MakeDefaultLayer();
    EXPECT_EQ(layer.name[0], '\0');
    EXPECT_EQ(layer.zoomX, 1.0f);
    EXPECT_EQ(layer.zoomY, 1.0f);
    EXPECT_EQ(layer.zoomZ, 1.0f);
    EXPECT_EQ(layer.cropRight, 0.0f);
    EXPECT_EQ(layer.visible, 1);
    EXPECT_EQ(layer.uvEnabled, 1);
    EXPECT_EQ(layer.imagePath, nullptr);
    EXPECT_EQ(layer.imagePathSize, 0);
    const ShotInfo shot = MakeDefaultShot();
    EXPECT_EQ(shot.zoomZ, 1.0f);
    EXPECT_EQ(shot.rotateZ, 0.0f);
}

TEST(SceneRecords, LongNamesKeep63BytesWithoutSplittingACharacter)
{
    LayerInfo layer = MakeDefaultLayer();
    SetRecordName(layer.name, std::wstring(70, L'x'));
    EXPECT_EQ(std::string(layer.name), std::string(63, 'x'));
    SetRecordName(layer.name, L"ab" + std::wstring(30, L'\u4e2d'));  // 2 + 90 bytes in UTF-8
    EXPECT_EQ(std::string(layer.name).size(), 62u);                    // 2 + 20 × 3
    EXPECT_EQ(GetRecordName(layer.name), L"ab" + std::wstring(20, L'\u4e2d'));
}

TEST(SceneRecords, ListOwnsAndFreesBuffers)
{
    LayerList list;
    LayerInfo a = MakeDefaultLayer();
    SetLayerImagePath(a, "/sets/A/s1.png");
    SetLayerUvPath(a, "/sets/A/uv1.png");
    EXPECT_EQ(a.imagePathSize, 15);
    list.push_back(a);
    LayerInfo copy = CloneLayer(list[0]);
    EXPECT_NE(copy.imagePath, list[0].imagePath);
    EXPECT_EQ(LayerImagePath(copy), "/sets/A/s1.png");
    EXPECT_EQ(LayerUvPath(copy), "/sets/A/uv1.png");
    FreeLayerBuffers(copy);
    EXPECT_EQ(copy.imagePath, nullptr);
    SetLayerImagePath(list[0], "");
    EXPECT_EQ(list[0].imagePathSize, 0);
    EXPECT_EQ(LayerImagePath(list[0]), "");
    LayerList moved = std::move(list);
    EXPECT_EQ(moved.size(), 1u);
    EXPECT_TRUE(list.empty());
}
