#pragma once
// Live pictures that a replaceable layer can show in its place while the set
// is edited: the engine's camera input, a media file played in a loop, or a
// test pattern of colour bars with a moving block. They are for the preview
// only; the layer's record keeps its own picture.
#include "engine/TestPatternSource.h"

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
    ~CLiveSource() = default;
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
    static constexpr const auto& kBarColours = kTestPatternBarColours;

private:
    CLiveSource() = default;

    OBSSourceAutoRelease m_source;
};
