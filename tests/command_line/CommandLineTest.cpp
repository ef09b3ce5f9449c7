// kelvane and kelvane-cli as a shell user starts them: --help and --version
// answer without a display, wrong command lines are refused with a usage
// line and the documented exit status.
#include "app/EditorCommandLine.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using testsupport::BuiltProgram;
using testsupport::RunCommand;

namespace {

using Action = EditorCommandLine::Action;

EditorCommandLine Parse(std::vector<std::string> words) { return ParseEditorCommandLine(words); }

// Exit status and everything printed; without a display unless one is asked.
int RunAll(const std::string& program, const std::string& arguments, std::string& output)
{
    return RunCommand("env -u DISPLAY " + BuiltProgram(program) + " " + arguments + " 2>&1", &output);
}

int RunOut(const std::string& program, const std::string& arguments, std::string& output)
{
    return RunCommand("env -u DISPLAY " + BuiltProgram(program) + " " + arguments + " 2>/dev/null", &output);
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST(EditorCommandLine, FindsTheSetAmongQtOptions)
{
    EXPECT_EQ(Parse({}).action, Action::Run);
    EXPECT_EQ(Parse({}).set, "");
    EXPECT_EQ(Parse({"/sets/News"}).set, "/sets/News");

    const EditorCommandLine withOptions = Parse({"-style", "fusion", "-display", ":7", "-reverse", "News", "-geometry=800x600"});
    EXPECT_EQ(withOptions.action, Action::Run);
    EXPECT_EQ(withOptions.set, "News") << "the values of Qt's options are not taken for the set";
    EXPECT_EQ(withOptions.displayName, ":7");
    EXPECT_EQ(Parse({"--display=:3"}).displayName, ":3");
    EXPECT_EQ(Parse({"--stylesheet", "dark.qss"}).set, "");

    const EditorCommandLine dashed = Parse({"--", "-odd name"});
    EXPECT_EQ(dashed.action, Action::Run);
    EXPECT_EQ(dashed.set, "-odd name");
    EXPECT_EQ(Parse({"file:///sets/A"}).set, "file:///sets/A");
}

TEST(EditorCommandLine, AnswersHelpAndVersionAndRefusesTheRest)
{
    EXPECT_EQ(Parse({"--help"}).action, Action::Help);
    EXPECT_EQ(Parse({"News", "-h"}).action, Action::Help);
    EXPECT_EQ(Parse({"--version"}).action, Action::Version);
    EXPECT_EQ(Parse({"-v"}).action, Action::Version);
    EXPECT_EQ(Parse({"--", "--help"}).action, Action::Run) << "after -- every word is a set";

    for (const std::vector<std::string>& words : std::vector<std::vector<std::string>>{
             {"--frobnicate"}, {"-x"}, {"-platform", "wayland"}, {"-reverse=1"}, {"A", "B"}, {"-display"}}) {
        const EditorCommandLine refused = Parse(words);
        EXPECT_EQ(refused.action, Action::Refuse) << words[0];
        EXPECT_FALSE(refused.error.empty());
    }
    EXPECT_TRUE(Contains(Parse({"-display"}).error, "needs a value"));
    EXPECT_TRUE(Contains(Parse({"A", "B"}).error, "one set"));
}

TEST(EditorArguments, HelpVersionAndRefusalWorkWithoutADisplay)
{
    std::string out;
    ASSERT_EQ(RunOut("kelvane", "--help", out), 0);
    EXPECT_TRUE(out.starts_with("usage: kelvane [OPTION]... [SET]\n")) << out;
    EXPECT_TRUE(Contains(out, "Exit status")) << out;
    ASSERT_EQ(RunOut("kelvane", "--version", out), 0);
    EXPECT_EQ(out, "kelvane 1.0.0.0\n");

    ASSERT_EQ(RunAll("kelvane", "--frobnicate", out), 2);
    EXPECT_TRUE(Contains(out, "kelvane: unknown option '--frobnicate'")) << out;
    EXPECT_TRUE(Contains(out, "usage: kelvane [OPTION]... [SET]")) << out;
    std::string stdoutOnly;
    RunOut("kelvane", "--frobnicate", stdoutOnly);
    EXPECT_EQ(stdoutOnly, "") << "refusals go to standard error";
}

TEST(EditorArguments, SaysSoWhenThereIsNoDisplay)
{
    std::string out;
    EXPECT_EQ(RunAll("kelvane", "", out), 1) << out;
    EXPECT_TRUE(Contains(out, "no X display")) << out;
    EXPECT_EQ(RunCommand("DISPLAY=:4711 " + BuiltProgram("kelvane") + " 2>&1", &out), 1) << out;
    EXPECT_TRUE(Contains(out, "cannot open the X display ':4711'")) << out;
}

TEST(CliArguments, HelpListsEveryCommandAndVersionPrints)
{
    std::string out;
    ASSERT_EQ(RunOut("kelvane-cli", "--version", out), 0);
    EXPECT_EQ(out, "kelvane-cli 1.0.0.0\n");
    ASSERT_EQ(RunOut("kelvane-cli", "--help", out), 0);
    for (const char* command : {"engine", "info", "thumbnail", "convert", "convert-all", "new", "render", "check-uv",
                                "make-uv", "check-update", "import-psd"})
        EXPECT_TRUE(Contains(out, std::string("\n  ") + command + " ") || Contains(out, std::string("\n  ") + command + "\n"))
            << command << " is not listed:\n" << out;
    EXPECT_TRUE(Contains(out, "Exit status")) << out;

    ASSERT_EQ(RunOut("kelvane-cli", "convert-all --help", out), 0);
    EXPECT_TRUE(out.starts_with("usage: kelvane-cli convert-all SRC DEST --to vmix|native [--jobs N] [--overwrite]\n")) << out;
    std::string viaHelp;
    ASSERT_EQ(RunOut("kelvane-cli", "help convert-all", viaHelp), 0);
    EXPECT_EQ(viaHelp, out);
}

TEST(CliArguments, RefusesUnknownCommandsAndOptionsWithAUsageLine)
{
    std::string out;
    EXPECT_EQ(RunAll("kelvane-cli", "", out), 2);
    EXPECT_TRUE(out.starts_with("usage: kelvane-cli COMMAND")) << out;
    EXPECT_EQ(RunAll("kelvane-cli", "--frobnicate", out), 2);
    EXPECT_TRUE(Contains(out, "unknown option '--frobnicate'")) << out;
    EXPECT_EQ(RunAll("kelvane-cli", "frobnicate", out), 2);
    EXPECT_TRUE(Contains(out, "unknown command 'frobnicate'")) << out;
    EXPECT_TRUE(Contains(out, "usage: kelvane-cli COMMAND")) << out;

    EXPECT_EQ(RunAll("kelvane-cli", "convert a b --to vmix --overwrit", out), 2);
    EXPECT_TRUE(Contains(out, "kelvane-cli convert: unknown option '--overwrit'")) << out;
    EXPECT_TRUE(Contains(out, "usage: kelvane-cli convert SRC PARENT --to vmix|native")) << out;
    EXPECT_EQ(RunAll("kelvane-cli", "engine --verbose", out), 2);
    EXPECT_TRUE(Contains(out, "usage: kelvane-cli engine\n")) << out;

    // A value that looks like an option belongs to its option: convert runs
    // and fails on the missing set, not on the option.
    EXPECT_EQ(RunAll("kelvane-cli", "convert /nonexistent/set /tmp --to vmix --name --odd", out), 2);
    EXPECT_FALSE(Contains(out, "unknown option")) << out;
    EXPECT_TRUE(Contains(out, "/nonexistent/set")) << out;
}
