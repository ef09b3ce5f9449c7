#include "platform/WindowMessage.h"
#include "support/RecordingWindow.h"

#include <gtest/gtest.h>
#include <thread>

TEST(WindowMessage, PostFromAnotherThreadArrivesOnTheWindowsThread)
{
    TestApplication();
    RecordingWindow window;
    std::thread poster([&] { EXPECT_TRUE(PostMessage(&window, 0x400 + 21, 7, -3)); });
    poster.join();
    EXPECT_TRUE(window.Messages().empty());  // queued, not handled on the poster's thread
    ASSERT_TRUE(window.WaitForMessage(0x400 + 21));
    const auto m = window.Messages().front();
    EXPECT_EQ(m.wParam, 7u);
    EXPECT_EQ(m.lParam, -3);
}

TEST(WindowMessage, SendOnTheSameThreadIsHandledAtOnce)
{
    TestApplication();
    RecordingWindow window;
    SendMessage(&window, 0x400 + 139, 2, 0);
    ASSERT_EQ(window.Messages().size(), 1u);
    EXPECT_FALSE(PostMessage(nullptr, 1, 0, 0));
}
