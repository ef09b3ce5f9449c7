#include "VideoDevices.h"

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace platform {

namespace {

// "video10" after "video9".
bool DeviceOrder(const VideoCaptureDevice& a, const VideoCaptureDevice& b)
{
    if (a.path.size() != b.path.size())
        return a.path.size() < b.path.size();
    return a.path < b.path;
}

bool QueryCaptureDevice(const std::string& path, VideoCaptureDevice& device)
{
    const int fd = open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    v4l2_capability caps{};
    const bool queried = ioctl(fd, VIDIOC_QUERYCAP, &caps) == 0;
    close(fd);
    if (!queried)
        return false;
    // The node's own capabilities when the driver reports them separately.
    const uint32_t capabilities = (caps.capabilities & V4L2_CAP_DEVICE_CAPS) ? caps.device_caps : caps.capabilities;
    if (!(capabilities & V4L2_CAP_VIDEO_CAPTURE))
        return false;
    const auto* card = reinterpret_cast<const char*>(caps.card);
    device.name.assign(card, strnlen(card, sizeof caps.card));
    device.path = path;
    if (device.name.empty())
        device.name = path;
    return true;
}

}  // namespace

std::vector<VideoCaptureDevice> ListVideoCaptureDevices(const std::string& folder)
{
    std::vector<VideoCaptureDevice> devices;
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return devices;
    while (const dirent* entry = readdir(dir)) {
        if (std::strncmp(entry->d_name, "video", 5) != 0)
            continue;
        VideoCaptureDevice device;
        if (QueryCaptureDevice(folder + "/" + entry->d_name, device))
            devices.push_back(std::move(device));
    }
    closedir(dir);
    std::sort(devices.begin(), devices.end(), DeviceOrder);
    return devices;
}

}  // namespace platform
