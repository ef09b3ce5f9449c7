#include "EngineFixture.h"

#include "app/ProjectSettings.h"
#include "engine/ObsMain.h"

#include <X11/Xlib.h>
#include <chrono>
#include <cstdlib>
#include <obs.h>
#include <thread>
#include <util/bmem.h>

void EngineTest::SetUp()
{
    const char* display = std::getenv("DISPLAY");
    ASSERT_TRUE(display && *display) << "engine tests need an X display (the test command starts Xvfb)";
    m_display = XOpenDisplay(nullptr);
    ASSERT_NE(m_display, nullptr) << "cannot open X display " << display;
    ConfigureSettings();
    SetEngineDisplay(m_display);
    m_engine = new ObsMain;
    g_obsMain = m_engine;
    m_initialised = m_engine->InitEngine();
    if (m_expectInit) {
        ASSERT_TRUE(m_initialised) << "the engine did not initialise";
    }
}

void EngineTest::TearDown()
{
    if (m_engine) {
        delete m_engine;
        m_engine = nullptr;
        EXPECT_EQ(bnum_allocs(), 0) << "libobs allocations left after shutdown";
    }
    SetEngineDisplay(nullptr);
    if (m_display)
        XCloseDisplay(static_cast<Display*>(m_display));
    m_display = nullptr;
}

bool WaitFor(const std::function<bool()>& pred, int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        if (pred())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return pred();
}
