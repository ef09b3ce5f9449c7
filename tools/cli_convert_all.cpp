// kelvane-cli convert-all SRC DEST --to vmix|native [--jobs N] [--overwrite]:
// every set found under SRC, converted into the same layout under DEST
// (SRC/News/Studio becomes DEST/News/Studio). Each set is converted by the
// `convert` command in a forked process of its own, so a set that fails,
// however it fails, stops only itself; N conversions run at once.
#include "BatchProgress.h"
#include "CliCommand.h"
#include "SetTree.h"

#include "platform/ChildProcess.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

namespace {

constexpr unsigned kMostJobs = 64;

struct BatchRequest {
    std::string source;
    std::string destination;
    std::string format;
    unsigned jobs = 1;
    bool overwrite = false;
};

// One set and where it goes: <parent>/<name>.
struct Conversion {
    FoundSet set;
    std::string parent;
    std::string name;
};

unsigned DefaultJobs() { return std::clamp(std::thread::hardware_concurrency(), 1u, 16u); }

bool ParseJobs(const std::string& text, unsigned& jobs)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), jobs);
    return error == std::errc() && end == text.data() + text.size() && jobs >= 1 && jobs <= kMostJobs;
}

bool ParseRequest(const CliArgs& args, BatchRequest& request, std::string& error)
{
    CliOptions options;
    if (!ParseCliOptions(args, {"--to", "--jobs"}, options, error))
        return false;
    const std::string* format = options.Value("--to");
    if (options.positional.size() != 2 || !format || (*format != "vmix" && *format != "native")) {
        error = "usage: kelvane-cli convert-all SRC DEST --to vmix|native [--jobs N] [--overwrite]";
        return false;
    }
    request.source = options.positional[0];
    request.destination = options.positional[1];
    request.format = *format;
    request.overwrite = options.Has("--overwrite");
    request.jobs = DefaultJobs();
    if (const std::string* jobs = options.Value("--jobs"); jobs && !ParseJobs(*jobs, request.jobs)) {
        error = "--jobs takes a number from 1 to " + std::to_string(kMostJobs) + ": " + *jobs;
        return false;
    }
    return true;
}

// Checks SRC and makes DEST; false with the reason.
bool PrepareFolders(const BatchRequest& request, std::string& error)
{
    std::error_code ec;
    if (!fs::is_directory(request.source, ec)) {
        error = request.source + ": no such folder";
        return false;
    }
    if (fs::equivalent(request.source, request.destination, ec)) {
        error = "DEST is SRC: the sets would be written over themselves";
        return false;
    }
    fs::create_directories(request.destination, ec);
    if (ec || !fs::is_directory(request.destination)) {
        error = request.destination + ": " + (ec ? ec.message() : "not a folder");
        return false;
    }
    return true;
}

std::vector<Conversion> PlanConversions(const std::vector<FoundSet>& sets, const std::string& destination)
{
    std::vector<Conversion> conversions;
    for (const FoundSet& set : sets) {
        const fs::path relative(set.relative);
        conversions.push_back({set, (fs::path(destination) / relative.parent_path()).lexically_normal().string(),
                               relative.filename().string()});
    }
    return conversions;
}

// The reason convert gave ("kelvane-cli: <SRC>: reason"), without the words
// the summary shows anyway.
std::string FailureReason(const platform::ChildOutcome& outcome, const std::string& sourceFolder)
{
    if (!outcome.started)
        return "no process for the conversion: " + outcome.startError;
    if (outcome.signal)
        return "the conversion ended with signal " + std::to_string(outcome.signal) + " (" +
               platform::SignalDescription(outcome.signal) + ")";
    std::string reason, lastLine;
    size_t start = 0;
    while (start < outcome.output.size()) {
        size_t end = outcome.output.find('\n', start);
        if (end == std::string::npos)
            end = outcome.output.size();
        const std::string line = outcome.output.substr(start, end - start);
        if (line.starts_with("kelvane-cli: "))
            reason = line.substr(13);
        if (!line.empty())
            lastLine = line;
        start = end + 1;
    }
    if (reason.empty())
        reason = !lastLine.empty() ? lastLine : "the conversion ended with status " + std::to_string(outcome.exitCode);
    if (reason.starts_with(sourceFolder + ": "))
        reason.erase(0, sourceFolder.size() + 2);
    return reason;
}

// In the forked child: the parent folder, then the convert command itself.
int Convert(const Conversion& conversion, const BatchRequest& request)
{
    std::error_code ec;
    fs::create_directories(conversion.parent, ec);
    if (ec)
        return CliFail(conversion.parent + ": " + ec.message());
    CliArgs arguments = {conversion.set.folder, conversion.parent, "--to", request.format, "--name", conversion.name};
    if (request.overwrite)
        arguments.push_back("--overwrite");
    return FindCliCommand("convert")->handler(arguments);
}

void PrintSummary(const BatchProgress& progress, size_t total, const std::string& destination)
{
    std::vector<BatchFailure> failures = progress.Failures();
    if (failures.empty()) {
        std::printf("%zu set%s converted into %s\n", total, total == 1 ? "" : "s", destination.c_str());
        return;
    }
    std::sort(failures.begin(), failures.end(), [](const auto& a, const auto& b) { return a.item < b.item; });
    std::printf("%zu of %zu sets converted into %s; %zu failed:\n", progress.Succeeded(), total, destination.c_str(),
                failures.size());
    for (const BatchFailure& failure : failures)
        std::printf("  %s: %s\n", failure.item.c_str(), failure.reason.c_str());
}

int RunConvertAll(const CliArgs& args)
{
    BatchRequest request;
    std::string error;
    if (!ParseRequest(args, request, error) || !PrepareFolders(request, error))
        return CliFail(error);
    const SetTree tree = FindSetsUnder(request.source, request.destination);
    if (tree.sets.empty() && tree.unreadable.empty())
        return CliFail(request.source + ": no virtual set (no folder with a scene.tvn or a config.xml)");

    const std::vector<Conversion> conversions = PlanConversions(tree.sets, request.destination);
    const size_t total = conversions.size() + tree.unreadable.size();
    BatchProgress progress(stdout, total, "converted");
    for (const UnreadableFolder& folder : tree.unreadable)
        progress.Finished(folder.folder, false, "the folder cannot be read: " + folder.reason);
    platform::ForkedWork batch;
    batch.count = conversions.size();
    batch.parallel = request.jobs;
    batch.work = [&](size_t i) { return Convert(conversions[i], request); };
    batch.started = [&](size_t i) { progress.Started(conversions[i].set.relative); };
    batch.finished = [&](size_t i, const platform::ChildOutcome& outcome) {
        progress.Finished(conversions[i].set.relative, outcome.Succeeded(),
                          outcome.Succeeded() ? std::string() : FailureReason(outcome, conversions[i].set.folder));
    };
    platform::RunForked(batch);
    progress.End();
    PrintSummary(progress, total, request.destination);
    return progress.Failures().empty() ? kCliOk : kCliSomeFailed;
}

const CliCommand kConvertAll("convert-all",
                             "SRC DEST --to vmix|native [--jobs N] [--overwrite]  convert every set under SRC into the "
                             "same layout under DEST",
                             RunConvertAll);

}  // namespace
