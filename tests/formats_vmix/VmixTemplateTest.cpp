#include "formats/MultiViewTemplates.h"
#include "formats/VmixFormat.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

using testsupport::TempDir;

TEST(MultiViewTemplates, CountsAndThirds)
{
    const unsigned counts[] = {1, 2, 2, 3, 3, 6, 5, 9, 10, 4, 9, 16};
    const unsigned ids[] = {0, 1, 2, 3, 2, 5, 6, 7, 8, 9, 5, 11};
    for (int i = 0; i < kMultiViewTemplateCount; ++i) {
        ASSERT_NE(GetMultiViewTemplate(i), nullptr);
        EXPECT_EQ(GetMultiViewTemplate(i)->count, counts[i]) << i;
        EXPECT_EQ(GetMultiViewTemplate(i)->id, ids[i]) << i;
        for (unsigned c = 0; c < counts[i]; ++c) {
            EXPECT_EQ(GetMultiViewTemplate(i)->cells[c].zoomZ, 1.0);
            EXPECT_EQ(GetMultiViewTemplate(i)->cells[c].rotateZ, 0.0);
        }
    }
    EXPECT_EQ(GetMultiViewTemplate(12), nullptr);
    EXPECT_EQ(GetMultiViewTemplate(-1), nullptr);
    EXPECT_EQ(GetMultiViewTemplate(10)->cells[0].x, -2.0 / 3.0);
    EXPECT_EQ(GetMultiViewTemplate(10)->cells[0].zoomX, 1.0 / 3.0);
}

TEST(MultiViewTemplates, SixteenCellsAreWrittenLastFirst)
{
    TempDir dir;
    ASSERT_TRUE(WriteVmixTemplateConfig(dir.wpath(), 11));
    LayerList layers;
    ShotList shots;
    ASSERT_TRUE(ReadVmixConfig(dir.wfile("config.xml"), layers, shots));
    ASSERT_EQ(layers.size(), 16u);
    EXPECT_STREQ(layers[0].name, "16");
    EXPECT_EQ(LayerImagePath(layers[0]), dir.file("16.png"));
    EXPECT_STREQ(layers[15].name, "1");
    EXPECT_EQ(layers[15].x, -0.75f);
    EXPECT_EQ(layers[15].y, 0.75f);
    EXPECT_EQ(layers[15].dynamic, 1);
    EXPECT_EQ(layers[15].cropLeft, 0.0f);
    const std::string xml = testsupport::ReadFileBytes(dir.file("config.xml"));
    EXPECT_NE(xml.find("<input name=\"16\" x=\"0.750000\" y=\"-0.750000\" zoomX=\"0.250000\" zoomY=\"0.250000\" "
                       "zoomZ=\"1.000000\" rotateX=\"0.000000\" rotateY=\"0.000000\" rotateZ=\"0.000000\" "
                       "cropping=\"0,0,0,0\" dynamic=\"true\">16.png</input>"),
              std::string::npos)
        << xml;
}

TEST(MultiViewTemplates, EmptyAndOutOfRangeWriteOnlyTheRoot)
{
    TempDir a, b;
    ASSERT_TRUE(WriteEmptyVmixConfig(a.wpath()));
    ASSERT_TRUE(WriteVmixTemplateConfig(b.wpath(), 12));
    EXPECT_EQ(testsupport::ReadFileBytes(a.file("config.xml")), "<virtualSet/>\r\n");
    EXPECT_EQ(testsupport::ReadFileBytes(b.file("config.xml")), "<virtualSet/>\r\n");
}
