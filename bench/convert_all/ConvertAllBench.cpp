// Converts a folder of 50 native sets, two of them broken, to vMix with
// `kelvane-cli convert-all`, and compares its time with converting the 48
// good sets one by one with `kelvane-cli convert`. Checks the batch's result
// on the way: 48 converted, the 2 broken ones reported, exit status 1.
//
//   convert_all_bench [WORK_FOLDER] [ROUNDS]
#include "BenchPictures.h"
#include "BenchTiming.h"

#include "formats/SceneFile.h"
#include "platform/FileUtil.h"
#include "platform/SystemFolders.h"
#include "platform/TextConv.h"

#include <QImage>
#include <cstdio>
#include <sys/wait.h>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kGoodSets = 48;
constexpr int kSetsPerFolder = 8;

// One set: a background, a desk and a screen, and a thumbnail.
bool WriteSet(const std::string& folder, const std::string& pictures)
{
    LayerList layers;
    const char* names[] = {"Screen", "Desk", "Background"};
    for (int i = 0; i < 3; ++i) {
        LayerInfo layer = MakeDefaultLayer();
        SetRecordName(layer.name, platform::Utf8ToWide(names[i]));
        SetLayerImagePath(layer, pictures + "/layer" + std::to_string(i) + ".png");
        layer.zoomX = layer.zoomY = 1.0f - 0.2f * i;
        layers.push_back(layer);
    }
    ShotInfo shot = MakeDefaultShot();
    SetRecordName(shot.name, L"Wide");
    fs::create_directories(folder);
    return WriteSceneFile(platform::Utf8ToWide(folder + "/scene.tvn"), layers, {shot},
                          platform::Utf8ToWide(pictures + "/thumbnail.jpg"));
}

struct Sets {
    std::string source;                 // the folder convert-all is given
    std::vector<std::string> goodSets;  // relative to it
};

Sets MakeSets(const std::string& work)
{
    Sets sets{work + "/sets", {}};
    const std::string pictures = work + "/pictures";
    fs::create_directories(pictures);
    for (int i = 0; i < 3; ++i)
        MakeBenchPng(pictures + "/layer" + std::to_string(i) + ".png", i, i == 1, 1920, 1080);
    QImage(320, 180, QImage::Format_RGB32).save(QString::fromStdString(pictures + "/thumbnail.jpg"), "JPEG");
    for (int i = 0; i < kGoodSets; ++i) {
        const std::string relative = "Show " + std::to_string(i / kSetsPerFolder) + "/Set " + std::to_string(i);
        if (WriteSet(sets.source + "/" + relative, pictures))
            sets.goodSets.push_back(relative);
    }
    fs::create_directories(sets.source + "/Show 2/Broken");
    platform::WriteFileAtomically(platform::Utf8ToWide(sets.source + "/Show 2/Broken/scene.tvn"), "truncated");
    fs::create_directories(sets.source + "/Show 5/Not vMix");
    platform::WriteFileAtomically(platform::Utf8ToWide(sets.source + "/Show 5/Not vMix/config.xml"), "<settings/>");
    return sets;
}

std::string CliPath() { return platform::NativePath(platform::JoinPath(platform::FolderPart(platform::GetExecutablePath()), L"kelvane-cli")); }

std::string Quoted(const std::string& word) { return "'" + word + "'"; }

struct CliResult {
    int exitCode = -1;
    std::string output;
};

// Runs kelvane-cli with the words (none holds a quote) and keeps what it printed.
CliResult RunCli(const std::vector<std::string>& words)
{
    std::string command = Quoted(CliPath());
    for (const std::string& word : words)
        command += " " + Quoted(word);
    CliResult result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return result;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof(buffer), pipe)) > 0;)
        result.output.append(buffer, n);
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// Best time of convert-all, each round into an empty folder; checks its result.
double TimeConvertAll(const Sets& sets, const std::string& out, int rounds, const std::string& jobs, bool& resultRight)
{
    double best = 1e9;
    for (int r = 0; r < rounds; ++r) {
        fs::remove_all(out);
        CliResult outcome;
        const double seconds = BestOfRounds(1, [&] {
            outcome = RunCli({"convert-all", sets.source, out, "--to", "vmix", "--jobs", jobs});
            return outcome.exitCode >= 0;
        });
        best = std::min(best, seconds);
        resultRight = outcome.exitCode == 1 && outcome.output.find("48 of 50 sets converted") != std::string::npos &&
                      outcome.output.find("  Show 2/Broken: ") != std::string::npos &&
                      outcome.output.find("  Show 5/Not vMix: ") != std::string::npos;
        if (!resultRight)
            std::fprintf(stderr, "unexpected convert-all result (%d):\n%s\n", outcome.exitCode, outcome.output.c_str());
    }
    return best;
}

double TimeOneByOne(const Sets& sets, const std::string& out, int rounds)
{
    double best = 1e9;
    for (int r = 0; r < rounds; ++r) {
        fs::remove_all(out);
        const double seconds = BestOfRounds(1, [&] {
            for (const std::string& relative : sets.goodSets) {
                const std::string parent = (fs::path(out) / fs::path(relative).parent_path()).string();
                fs::create_directories(parent);
                if (RunCli({"convert", sets.source + "/" + relative, parent, "--to", "vmix"}).exitCode != 0)
                    return false;
            }
            return true;
        });
        best = std::min(best, seconds);
    }
    return best;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string work = argc > 1 ? argv[1] : platform::NativePath(platform::MakeTempFolder(L"convert-all-bench-"));
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    std::printf("making %d sets (%d broken) in %s ...\n", kGoodSets + 2, 2, work.c_str());
    const Sets sets = MakeSets(work);
    if (sets.goodSets.size() != kGoodSets) {
        std::fprintf(stderr, "the sets could not be written\n");
        return 1;
    }
    bool rightAll = false, rightOne = false;
    const double oneByOne = TimeOneByOne(sets, work + "/one-by-one", rounds);
    const double all = TimeConvertAll(sets, work + "/convert-all", rounds, std::to_string(std::thread::hardware_concurrency()), rightAll);
    const double allOneJob = TimeConvertAll(sets, work + "/convert-all-1", rounds, "1", rightOne);
    if (argc <= 1)
        fs::remove_all(work);
    if (oneByOne < 0) {
        std::fprintf(stderr, "a one-by-one conversion failed\n");
        return 1;
    }
    std::printf("48 sets one by one with convert:             %.3f s\n", oneByOne);
    std::printf("convert-all, %u jobs (48 converted, 2 reported): %.3f s   ratio %.2f\n",
                std::thread::hardware_concurrency(), all, all / oneByOne);
    std::printf("convert-all, 1 job:                            %.3f s   ratio %.2f\n", allOneJob, allOneJob / oneByOne);
    std::printf("result as expected (48 converted, 2 reported, exit status 1): %s\n", rightAll && rightOne ? "yes" : "NO");
    return rightAll && rightOne ? 0 : 1;
}
