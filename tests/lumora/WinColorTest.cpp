#include "lumora/WinColor.h"

#include <gtest/gtest.h>

TEST(WinColor, RedIsTheLowByte)
{
    EXPECT_EQ(lumora::QColorFromColorRef(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(lumora::QColorFromColorRef(0x00C000), QColor(0, 192, 0));
    EXPECT_EQ(lumora::QColorFromColorRef(0x8E702E), QColor(0x2E, 0x70, 0x8E));
    EXPECT_EQ(lumora::QColorFromColorRef(0xFF000080), QColor(128, 0, 0));  // top byte ignored
    EXPECT_EQ(lumora::QColorFromColorRef(0xFF000080).alpha(), 255);
    EXPECT_EQ(lumora::ColorRefFromQColor(QColor(0x2E, 0x70, 0x8E)), 0x8E702Eu);
}
