#include "app/ProjectSettings.h"

#include <gtest/gtest.h>

TEST(ProjectSettings, InitialValues)
{
    const ProjectSettings s;
    EXPECT_EQ(s.ProjectName, L"");
    EXPECT_EQ(s.FormatName, L"HD 1080p25");
    EXPECT_FLOAT_EQ(s.FrameRate, 25.0f);
    EXPECT_EQ(s.Width, 1920);
    EXPECT_EQ(s.Height, 1080);
    EXPECT_EQ(s.Interlace, 0);
    EXPECT_EQ(s.ColorSpace, 0);
    EXPECT_EQ(s.ColorFormat, 0);
    EXPECT_EQ(s.ColorRange, 0);
    EXPECT_EQ(s.SampleRate, 0);
    EXPECT_EQ(s.Channel, 1);
    EXPECT_EQ(s.MonitorDevice, L"");
    EXPECT_EQ(s.MonitorDeviceID, L"");
    for (unsigned v : {s.Clip, s.CG, s.VirtualSet, s.MultiView, s.ThirdVSet, s.Effect1, s.Effect2, s.Effect3,
                       s.Effect4, s.Record, s.SourceLock})
        EXPECT_EQ(v, 0u);
    EXPECT_EQ(s.LastFileFilter, 0);
    EXPECT_EQ(s.LastOverlay, 0);
    EXPECT_EQ(s.LayerBox, 1);
    EXPECT_EQ(s.AutoCheckNew, 1);
    EXPECT_EQ(s.KeepRatio, 0);
    for (int c : s.Collapse)
        EXPECT_EQ(c, 0);
    EXPECT_TRUE(s.VideoPath.Last.empty() && s.VideoPath.Paths.empty());
    EXPECT_TRUE(s.XamlPath.Last.empty() && s.XamlPath.Paths.empty());
}

TEST(ProjectSettings, TheProcessRecordStartsFromTheInitialValues)
{
    EXPECT_EQ(g_settings.Width, 1920);
    EXPECT_EQ(g_settings.KeepRatio, 0);
    EXPECT_EQ(g_settings.FormatName, L"HD 1080p25");
}
