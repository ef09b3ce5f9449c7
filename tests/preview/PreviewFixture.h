#pragma once
// The engine, a three-layer set in its group scene and the preview on it,
// for the preview tests. Layers, front first, on the 1920 x 1080 canvas:
//   Top     [240, 720] x [135, 405]
//   Middle  [480, 1440] x [270, 810]
//   Bottom  [240, 1680] x [135, 945]
// in yellow, grey and blue, the middle one a screen with an identity UV map,
// so (600, 300) hits all three and (100, 1000) none.
#include "model_set/SetEngineFixture.h"
#include "preview/ObsQtWindow.h"

#include <QApplication>
#include <memory>

namespace previewtest {

// The widget application, on the X server the tests run under.
QApplication& App();

// The preview logic without a native window; the test sets the modifier keys.
class HeadlessPreview : public ObsWindow {
public:
    ClientSize GetClientSize() const override { return m_size; }
    NativeWindowId Create(QWidget*, const WindowRect& rect) override
    {
        m_size = {rect.width, rect.height};
        OnResize(rect.width, rect.height);
        return 0;
    }
    void Move(const WindowRect& rect) override { Create(nullptr, rect); }
    NativeWindowId GetHandle() const override { return 0; }
    void Show(bool) override {}
    bool IsModifierDown(int mask) const override { return mask != 0 && (m_modifiers & mask) == mask; }

    int m_modifiers = 0;

private:
    ClientSize m_size;
};

class PreviewTest : public settest::SetTest {
protected:
    void SetUp() override;
    void TearDown() override;

    obs_scene_t* scene() const { return m_set->GetGroupScene(); }
    obs_sceneitem_t* Layer(int index) const { return m_set->GetItem(size_t(index) + 1); }
    obs_sceneitem_t* top() const { return Layer(0); }
    obs_sceneitem_t* middle() const { return Layer(1); }
    obs_sceneitem_t* bottom() const { return Layer(2); }

    // Waits until every layer's picture has its size.
    void WaitForPictures();

    SourceInfo m_info;
    std::unique_ptr<CMultiViewSource> m_set;
};

vec2 Position(obs_sceneitem_t* item);
vec2 Scale(obs_sceneitem_t* item);

}  // namespace previewtest
