#pragma once
// Starts the real engine for one test, as the editor does (project settings
// defaults, all modules), and checks at the end that libobs freed everything.
#include <functional>
#include <gtest/gtest.h>

#include "TestSupport.h"

class ObsMain;

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Override to change the project settings before the engine starts.
    virtual void ConfigureSettings() {}

    ObsMain* engine() const { return m_engine; }
    bool initialised() const { return m_initialised; }

    // Leaves the engine running for the test to shut down itself.
    bool m_expectInit = true;

private:
    testsupport::FreshUserFolders m_folders;
    void* m_display = nullptr;
    ObsMain* m_engine = nullptr;
    bool m_initialised = false;
};

// Waits until pred() holds or timeoutMs passes; true when it held.
bool WaitFor(const std::function<bool()>& pred, int timeoutMs = 5000);
