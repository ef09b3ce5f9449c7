#pragma once
// The video-capture devices of the system (cameras, capture cards), read
// from the devices themselves: listing them never loads or asks a capture
// module, so a machine without a camera simply has none.
#include <string>
#include <vector>

namespace platform {

struct VideoCaptureDevice {
    std::string name;  // what the driver calls the card
    std::string path;  // "/dev/videoN"
};

// Every /dev/video* device that captures video, in device order. `folder`
// is where the device nodes are (tests give another).
std::vector<VideoCaptureDevice> ListVideoCaptureDevices(const std::string& folder = "/dev");

}  // namespace platform
