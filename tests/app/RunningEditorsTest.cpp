// Running editors are told apart by their user data folder: only one of this
// user and this folder is ever found or ended. Stand-in editors are copies of
// a harmless program under the editor's executable name.
#include "app/RunningEditors.h"

#include "../support/TestSupport.h"
#include "platform/Processes.h"
#include "platform/TextConv.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

namespace {

class StandIn {
public:
    StandIn(const std::string& program, const std::vector<std::string>& environment)
    {
        std::vector<std::string> args = {program, "30"};
        std::vector<char*> argv, envp;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        m_environment = environment;
        for (std::string& entry : m_environment)
            envp.push_back(entry.data());
        envp.push_back(nullptr);
        if (posix_spawn(&m_pid, program.c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0)
            m_pid = -1;
    }
    ~StandIn()
    {
        // Only a child still running (not reaped by an ending) is killed.
        if (m_pid > 0 && waitpid(m_pid, nullptr, WNOHANG) == 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
    uint32_t id() const { return static_cast<uint32_t>(m_pid); }

private:
    pid_t m_pid = -1;
    std::vector<std::string> m_environment;
};

bool Contains(const std::vector<uint32_t>& ids, uint32_t id) { return std::find(ids.begin(), ids.end(), id) != ids.end(); }

}  // namespace

TEST(RunningEditors, OnlyEditorsOfTheSameDataFolderAreFoundAndEnded)
{
    testsupport::TempDir dir;
    const std::string editor = dir.file(kEditorExecutableName);
    std::filesystem::copy_file("/bin/sleep", editor);
    const std::string mine = dir.file("mine");
    const std::string theirs = dir.file("theirs");
    std::filesystem::create_directories(mine + "/Kelvane");
    const std::wstring myFolder = platform::Utf8ToWide(mine + "/Kelvane");

    StandIn same(editor, {"XDG_DATA_HOME=" + mine, "HOME=" + theirs});
    StandIn byHome(editor, {"HOME=" + dir.file("home")});
    StandIn other(editor, {"XDG_DATA_HOME=" + theirs});
    StandIn notAnEditor("/bin/sleep", {"XDG_DATA_HOME=" + mine});
    ASSERT_TRUE(platform::IsProcessAlive(same.id()));

    EXPECT_EQ(UserDataFolderOfProcess(same.id()), myFolder);
    EXPECT_EQ(UserDataFolderOfProcess(byHome.id()), platform::Utf8ToWide(dir.file("home/.local/share/Kelvane")));
    EXPECT_TRUE(IsEditorOfDataFolder(same.id(), myFolder));
    // The same folder spelled another way is still the same folder.
    EXPECT_TRUE(IsEditorOfDataFolder(same.id(), platform::Utf8ToWide(dir.file("mine/../mine/Kelvane"))));
    EXPECT_FALSE(IsEditorOfDataFolder(other.id(), myFolder));
    EXPECT_FALSE(IsEditorOfDataFolder(notAnEditor.id(), myFolder)) << "not the editor's executable";
    EXPECT_FALSE(IsEditorOfDataFolder(platform::CurrentProcessId(), myFolder));

    const std::vector<uint32_t> found = FindEditorsOfDataFolder(myFolder);
    EXPECT_TRUE(Contains(found, same.id()));
    EXPECT_FALSE(Contains(found, other.id()));
    EXPECT_FALSE(Contains(found, byHome.id()));
    EXPECT_FALSE(Contains(found, notAnEditor.id()));

    EXPECT_TRUE(TerminateEditorsOfDataFolder(myFolder, 2000));
    EXPECT_FALSE(platform::IsProcessAlive(same.id()));
    EXPECT_TRUE(platform::IsProcessAlive(other.id())) << "an editor of another data folder was ended";
    EXPECT_TRUE(platform::IsProcessAlive(notAnEditor.id()));
    EXPECT_FALSE(TerminateEditorsOfDataFolder(myFolder, 100)) << "none is left";
}
