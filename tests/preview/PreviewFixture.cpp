#include "PreviewFixture.h"

namespace previewtest {

QApplication& App()
{
    static int argc = 1;
    static char name[] = "preview_tests";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "xcb");
    // Never destroyed: at exit Qt's thread storage is gone before a static
    // application object would be, and its widgets' teardown would crash.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

void PreviewTest::SetUp()
{
    App();
    settest::SetTest::SetUp();
    if (HasFatalFailure())
        return;
    settest::TestLayer topLayer{"Top", Qt::yellow, 64, 36, -0.5f, 0.5f, 0.25f, 0.25f};
    settest::TestLayer middleLayer{"Middle", QColor(128, 128, 128), 80, 45, 0.0f, 0.0f, 0.5f, 0.5f, 0.0f, {0.0f, 0.0f, 0.0f, 0.0f}, true};
    settest::TestLayer bottomLayer{"Bottom", Qt::blue, 48, 27, 0.0f, 0.0f, 0.75f, 0.75f};
    m_info = settest::NativeSetInfo(settest::MakeNativeSet(m_dir.path(), "Stack", {topLayer, middleLayer, bottomLayer}, {}));
    m_set = OpenSet(m_info);
    ASSERT_EQ(m_set->GetItemCount(), 4u);
    WaitForPictures();
}

void PreviewTest::TearDown()
{
    m_set.reset();
    settest::SetTest::TearDown();
}

void PreviewTest::WaitForPictures()
{
    ASSERT_TRUE(WaitFor([&] {
        for (int n = 0; n < 3; ++n)
            if (obs_source_get_width(obs_sceneitem_get_source(Layer(n))) == 0)
                return false;
        return true;
    }));
    // The layers were placed before their pictures were known; place them again.
    for (int n = 0; n < 3; ++n)
        m_set->ApplyLayerTransform(n);
}

vec2 Position(obs_sceneitem_t* item)
{
    vec2 position;
    obs_sceneitem_get_pos(item, &position);
    return position;
}

vec2 Scale(obs_sceneitem_t* item)
{
    vec2 scale;
    obs_sceneitem_get_scale(item, &scale);
    return scale;
}

}  // namespace previewtest
