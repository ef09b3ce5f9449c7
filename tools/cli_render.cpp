// kelvane-cli render SET OUT.bmp [--shot N]: open a virtual set (its folder or
// its set file, either format) in the engine as the editor does, optionally
// apply shot N, and write the composed picture as a 32-bit bitmap.
#include "CliCommand.h"

#include "engine/ObsMain.h"
#include "model/MultiViewSource.h"
#include "model/SetPaths.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"

#include <X11/Xlib.h>
#include <charconv>
#include <memory>

namespace {

struct RenderRequest {
    SourceInfo set;
    std::wstring output;
    int shot = -1;  // none
};

bool ParseShot(const std::string& text, int& shot)
{
    const char* end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, shot);
    return error == std::errc() && at == end && shot >= 0;
}

// Everything that can be checked before the engine starts, so most failures
// come without the engine's log.
bool ParseRequest(const CliArgs& args, RenderRequest& request, std::string& error)
{
    CliOptions options;
    if (!ParseCliOptions(args, {"--shot"}, options, error))
        return false;
    if (options.positional.size() != 2 || !options.flags.empty()) {
        error = "usage: kelvane-cli render SET OUT.bmp [--shot N]";
        return false;
    }
    if (const std::string* shot = options.Value("--shot"); shot && !ParseShot(*shot, request.shot)) {
        error = "--shot takes a shot number from 0: " + *shot;
        return false;
    }
    // A set folder, or a set file whose folder holds the set.
    const std::wstring path = platform::Utf8ToWide(options.positional[0]);
    const std::wstring folder = SetFolderOf(platform::FolderExists(path) ? platform::JoinPath(path, L"set") : path);
    if (!MakeSetRecordForFolder(folder, request.set)) {
        error = options.positional[0] + ": no virtual set (neither scene.tvn nor config.xml reads)";
        return false;
    }
    request.output = platform::Utf8ToWide(options.positional[1]);
    return true;
}

// Opens the set, applies the shot and writes the picture; the engine runs.
bool Render(RenderRequest& request, std::string& error)
{
    CMultiViewSource set(g_obsMain, &request.set, nullptr);
    if (set.Open() != S_OK) {
        error = platform::WideToUtf8(request.set.path) + ": the set does not open";
        return false;
    }
    if (request.shot >= 0 && !set.ApplyShot(request.shot)) {
        error = "the set has no shot " + std::to_string(request.shot) + " (it has " +
                std::to_string(set.GetShots().size()) + ")";
        return false;
    }
    if (!set.SaveScreenshot(request.output)) {
        error = platform::WideToUtf8(request.output) + ": the picture could not be written";
        return false;
    }
    return true;
}

int RunRender(const CliArgs& args)
{
    RenderRequest request;
    std::string error;
    if (!ParseRequest(args, request, error))
        return CliFail(error);

    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return CliFail("cannot start the engine: no X display (is DISPLAY set?)");
    SetEngineDisplay(display);
    g_obsMain = new ObsMain;
    bool rendered = false;
    if (!g_obsMain->InitEngine())
        error = "the engine did not initialise (see the log above)";
    else
        rendered = Render(request, error);
    delete g_obsMain;
    LogMemoryLeaks();
    SetEngineDisplay(nullptr);
    XCloseDisplay(display);
    return rendered ? kCliOk : CliFail(error);
}

const CliCommand kRender("render", "SET OUT.bmp [--shot N]  write the composed picture of a virtual set", RunRender);

}  // namespace
