// kelvane-cli check-update against a real HTTP server on 127.0.0.1.
#include "HttpTestServer.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

class CliCheckUpdateTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.Running()) << "the test HTTP server did not start"; }
    int Run(const std::string& options, std::string& output)
    {
        return testsupport::RunCommand(testsupport::BuiltProgram("kelvane-cli") + " check-update " + options, &output);
    }

    testsupport::FreshUserFolders folders;  // the command stores its manifest in the user's update folder
    testsupport::TempDir served;
    HttpTestServer server{served.path()};
};

TEST_F(CliCheckUpdateTest, PrintsOneLinePerOutcome)
{
    testsupport::WriteFileBytes(served.file("m.json"),
        R"({"Version":1.3,"ReleaseDate":"2024-05-01","Source":"https://dl.example.com/setup.exe","Size":123})");
    std::string out;
    EXPECT_EQ(Run("--url " + server.Url("/files/m.json") + " --version 1.2.0.0", out), 0);
    EXPECT_EQ(out, "update available: 1.30 123 2024-05-01\n");
    EXPECT_EQ(Run("--url " + server.Url("/files/m.json") + " --version 1,3,0,0", out), 0);
    EXPECT_EQ(out, "no update\n");
    EXPECT_EQ(Run("--url " + server.Url("/status/404"), out), 0);
    EXPECT_EQ(out, "no update\n");
    RefusingPort refusing;
    EXPECT_EQ(Run("--url " + refusing.Url("/m.json"), out), 2) << "a failed check is not a success";
    EXPECT_EQ(out, "failed\n");
}

TEST_F(CliCheckUpdateTest, RejectsAMalformedVersion)
{
    std::string out;
    EXPECT_NE(Run("--url " + server.Url("/status/404") + " --version 1.2", out), 0);
    EXPECT_NE(Run("--bogus", out), 0);
    EXPECT_TRUE(out.empty());
}

}  // namespace
