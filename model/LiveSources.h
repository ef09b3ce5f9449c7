#pragma once
// Live pictures that a replaceable layer can show in its place while the set
// is edited: the engine's camera input, a media file played in a loop, or a
// test pattern of colour bars with a moving block. They are for the preview
// only; the layer's record keeps its own picture.
#include <obs.hpp>

#include <memory>
#include <string>
#include <vector>

struct CameraDevice {
    std::string name;  // as the driver names it
    std::string id;    // the device path
};

// The cameras of the system, for the engine's video-capture input.
std::vector<CameraDevice> ListCameras();

// One live source, with what keeps it moving.
class CLiveSource {
public:
    ~CLiveSource();
    CLiveSource(const CLiveSource&) = delete;
    CLiveSource& operator=(const CLiveSource&) = delete;

    // Seven colour bars over the canvas and a white block moving through
    // their middle band; the corners always show the outer bars.
    static std::unique_ptr<CLiveSource> MakeTestPattern();
    // The media file, played in a loop; null when the engine refuses it.
    static std::unique_ptr<CLiveSource> MakeMediaFile(const std::wstring& path);
    // The camera; null with a reason when it cannot be opened.
    static std::unique_ptr<CLiveSource> MakeCamera(const CameraDevice& camera, std::string& error);

    obs_source_t* Source() const { return m_source; }

    // The test pattern's bar colours, left to right (0xRRGGBB).
    static constexpr uint32_t kBarColours[7] = {0xBFBFBF, 0xBFBF00, 0x00BFBF, 0x00BF00, 0xBF00BF, 0xBF0000, 0x0000BF};

private:
    CLiveSource() = default;
    static void MoveBlock(void* data, float seconds);

    OBSSourceAutoRelease m_source;
    OBSSceneAutoRelease m_pattern;       // the test pattern's scene
    obs_sceneitem_t* m_block = nullptr;  // its moving block (the scene holds it)
    float m_time = 0.0f;
    bool m_ticking = false;
};
