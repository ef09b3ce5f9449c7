// The skin is loaded while the library is loaded into a process, from the
// program's own folder; so each case runs a copy of a small program that
// links Lumora, placed in a fresh folder of its own.
#include "lumora/Skin.h"
#include "lumora/WinColor.h"
#include "platform/IniFile.h"
#include "platform/TextConv.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

using testsupport::TempDir;

namespace {

class SkinProgram {
public:
    SkinProgram()
    {
        std::filesystem::copy_file(testsupport::BuiltProgram("lumora_skin_probe"), m_dir.file("probe"));
        std::filesystem::permissions(m_dir.file("probe"), std::filesystem::perms::owner_all);
    }
    std::string file(const std::string& name) const { return m_dir.file(name); }
    std::wstring wfile(const std::string& name) const { return m_dir.wfile(name); }

    // Runs the program from another working folder; returns what it printed.
    std::map<std::string, long long> run() const
    {
        std::string output;
        EXPECT_EQ(testsupport::RunCommand("cd / && '" + m_dir.file("probe") + "'", &output), 0);
        std::map<std::string, long long> values;
        std::istringstream lines(output);
        for (std::string line; std::getline(lines, line);) {
            const size_t eq = line.find('=');
            if (eq != std::string::npos)
                values[line.substr(0, eq)] = std::stoll(line.substr(eq + 1));
        }
        return values;
    }

private:
    TempDir m_dir{"kelvane-skin-"};
};

}  // namespace

TEST(Skin, FirstLoadWritesSkinOneWithAllDefaults)
{
    SkinProgram program;
    const auto values = program.run();
    EXPECT_EQ(values.at("count"), 36);
    EXPECT_EQ(values.at("skin"), 1);
    EXPECT_EQ(values.at("0"), 0x292929);
    EXPECT_EQ(values.at("5"), 0x111111);
    EXPECT_EQ(values.at("24"), 0x0080FF);
    EXPECT_EQ(values.at("200"), 14);
    EXPECT_EQ(values.at("201"), 44);
    EXPECT_EQ(values.at("99"), 0);

    const std::wstring skin = program.wfile("Skin1.ini");
    EXPECT_EQ(platform::ReadProfileKeyNames(skin, L"Color").size(), 34u);
    EXPECT_EQ(platform::ReadProfileKeyNames(skin, L"List").size(), 2u);
    EXPECT_EQ(platform::ReadProfileString(skin, L"Color", L"COLOR_POPDLGBK", L"", 259), L"0x292929");
    EXPECT_EQ(platform::ReadProfileString(skin, L"Color", L"COLOR_DLGBORDER", L"", 259), L"0x000000");
    EXPECT_EQ(platform::ReadProfileString(skin, L"List", L"LIST_LINE_HEIGHT", L"", 259), L"44");
    // Skin.ini names a skin only once its file exists, from the next start on.
    EXPECT_FALSE(testsupport::Exists(program.file("Skin.ini")));
    program.run();
    EXPECT_EQ(platform::ReadProfileInt(program.wfile("Skin.ini"), L"Skin", L"Current", 0), 1u);
}

// Every text colour of the default skin reads on the background it is drawn
// on (at least 4.5:1); disabled texts are exempt.
TEST(Skin, DefaultTextsAreReadableOnTheirBackgrounds)
{
    SkinProgram program;
    const auto values = program.run();
    auto colour = [&](int index) { return lumora::QColorFromColorRef(static_cast<uint32_t>(values.at(std::to_string(index)))); };
    const std::pair<int, int> pairs[] = {
        {COLOR_DLGTEXT_H, COLOR_POPDLGBK},    {COLOR_DLGTEXT_H, COLOR_DLGBK},      {COLOR_GROUPBOX_TEXT, COLOR_DLGBK},
        {COLOR_GROUPBOX_TEXT, COLOR_POPDLGBK}, {COLOR_LISTTEXT, COLOR_LISTBK},     {COLOR_TAB_TEXT_H, COLOR_TAB_CURITEM},
        {COLOR_TAB_TEXT_L, COLOR_TAB_ITEM},    {COLOR_BUTTON_TEXT, COLOR_BUTTON_INSIDE2},
    };
    for (const auto& [text, background] : pairs)
        EXPECT_GE(lumora::ContrastRatio(colour(text), colour(background)), lumora::kReadableContrast)
            << "skin text " << text << " on background " << background;
    EXPECT_NEAR(lumora::ContrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
}

TEST(Skin, UserValuesAreReadAndKeptAndMissingOnesAdded)
{
    SkinProgram program;
    testsupport::WriteFileBytes(program.file("Skin1.ini"),
                                "[Color]\r\nCOLOR_LISTBK=0x000080\r\ncolor_dlgbk=4210752\r\n[List]\r\nLIST_FONT_SIZE=18\r\n");
    const auto values = program.run();
    EXPECT_EQ(values.at("5"), 128);
    EXPECT_EQ(values.at("1"), 4210752);
    EXPECT_EQ(values.at("200"), 18);
    EXPECT_EQ(values.at("0"), 0x292929);
    const std::wstring skin = program.wfile("Skin1.ini");
    EXPECT_EQ(platform::ReadProfileString(skin, L"Color", L"COLOR_LISTBK", L"", 259), L"0x000080");
    EXPECT_EQ(platform::ReadProfileString(skin, L"Color", L"COLOR_DLGBK", L"", 259), L"0x404040");
    EXPECT_EQ(platform::ReadProfileKeyNames(skin, L"Color").size(), 34u);
}

TEST(Skin, TheCurrentSkinOfSkinIniIsLoaded)
{
    SkinProgram program;
    testsupport::WriteFileBytes(program.file("Skin.ini"), "[Skin]\r\nCurrent=2\r\n");
    testsupport::WriteFileBytes(program.file("Skin2.ini"), "[Color]\r\nCOLOR_POPDLGBK=0x101010\r\n");
    const auto values = program.run();
    EXPECT_EQ(values.at("skin"), 2);
    EXPECT_EQ(values.at("0"), 0x101010);
    EXPECT_FALSE(testsupport::Exists(program.file("Skin1.ini")));
    EXPECT_EQ(platform::ReadProfileKeyNames(program.wfile("Skin2.ini"), L"Color").size(), 34u);
}

TEST(Skin, UnreadableSkinFileGivesTheDefaultsAndIsLeftAlone)
{
    SkinProgram program;
    std::filesystem::create_directories(program.file("Skin1.ini"));  // a folder where the file should be
    const auto values = program.run();
    EXPECT_EQ(values.at("0"), 0x292929);
    EXPECT_TRUE(std::filesystem::is_directory(program.file("Skin1.ini")));
}
