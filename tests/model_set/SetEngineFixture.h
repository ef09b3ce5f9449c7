#pragma once
// The engine started for one set test, a temp folder for the set files and
// the three-layer set most tests look at.
#include "SetTestData.h"

#include "model/MultiViewSource.h"
#include "support/EngineFixture.h"
#include "platform/TextConv.h"
#include "support/TestSupport.h"

#include <memory>
#include <obs.h>
#include <string>
#include <vector>

namespace settest {

// Front to back on a 1920 x 1080 canvas: a red quarter in the upper left,
// a green half in the middle, a blue background over everything.
inline std::vector<TestLayer> ThreeLayers()
{
    TestLayer red{"Red", Qt::red, 64, 36, -0.5f, 0.5f, 0.25f, 0.25f};
    TestLayer green{"Green", Qt::green, 80, 45, 0.0f, 0.0f, 0.5f, 0.5f};
    TestLayer blue{"Blue", Qt::blue, 48, 27};
    return {red, green, blue};
}

// Names of the sources in a scene, bottom first.
inline std::vector<std::string> SceneOrder(obs_scene_t* scene)
{
    std::vector<std::string> names;
    obs_scene_enum_items(
        scene,
        [](obs_scene_t*, obs_sceneitem_t* item, void* param) {
            static_cast<std::vector<std::string>*>(param)->push_back(obs_source_get_name(obs_sceneitem_get_source(item)));
            return true;
        },
        &names);
    return names;
}

inline bool UvFilterRegistered() { return obs_source_get_display_name(kUvMapFilterType) != nullptr; }

class SetTest : public EngineTest {
protected:
    std::unique_ptr<CMultiViewSource> OpenSet(SourceInfo& info, HWND window = nullptr)
    {
        auto set = std::make_unique<CMultiViewSource>(engine(), &info, window);
        EXPECT_EQ(set->Open(), S_OK);
        return set;
    }
    // A still of the set's picture.
    QImage Render(CMultiViewSource& set, const std::string& name)
    {
        const std::string path = m_dir.file(name);
        EXPECT_TRUE(set.SaveScreenshot(platform::Utf8ToWide(path)));
        return QImage(QString::fromStdString(path));
    }

    testsupport::TempDir m_dir;
};

}  // namespace settest
