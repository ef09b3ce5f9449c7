// What the library writes on screen and in the settings: captions, tooltips
// and the remembered view modes.
#include "LibraryTestData.h"
#include "app/ResourceTexts.h"
#include "app/SettingsFiles.h"
#include "support/TestSupport.h"
#include "ui/library/LibraryKinds.h"
#include "ui/library/LibraryViewModes.h"
#include "ui/library/SetNameShortener.h"
#include "ui/library/SetTooltip.h"
#include "platform/TextConv.h"

#include <gtest/gtest.h>

using namespace librarytest;

namespace {

// The captions are measured in the locale's charset: make it UTF-8 before
// the first conversion.
const bool kUtf8Locale = [] {
    setenv("LC_ALL", "C.UTF-8", 1);
    return true;
}();

}  // namespace

TEST(SetCaption, LongNamesKeepWholeCharactersWithinThirtyOneBytes)
{
    ASSERT_EQ(platform::LocaleCharset(), "UTF-8");
    const std::wstring ascii40 = L"abcdefghijklmnopqrstuvwxyz0123456789ABCD";
    ASSERT_EQ(ascii40.size(), 40u);
    EXPECT_EQ(ShortenSetName(ascii40), ascii40.substr(0, 31) + L"..");
    EXPECT_EQ(ShortenSetName(ascii40.substr(0, 33)), ascii40.substr(0, 33));

    // Three bytes each: ten fit in 31 bytes; the eleventh would be split.
    const std::wstring chinese = L"虚拟演播室多画面其他类型路径双击鼠标左键编辑";
    EXPECT_EQ(ShortenSetName(chinese), chinese.substr(0, 10) + L"..");
    EXPECT_EQ(ShortenSetName(L"ab" + chinese), L"ab" + chinese.substr(0, 9) + L"..");
    EXPECT_EQ(ShortenSetName(L"a" + chinese), L"a" + chinese.substr(0, 10) + L"..");
    EXPECT_EQ(ShortenSetName(chinese.substr(0, 11)), chinese.substr(0, 11));  // 33 bytes: whole
    // Outside the basic plane: four bytes, one wide character here.
    EXPECT_EQ(ShortenSetName(std::wstring(9, L'\U0001F3AC')), std::wstring(7, L'\U0001F3AC') + L"..");
}

TEST(SetTooltip, TypeComesFromTheSceneHeader)
{
    RegisterResourceStrings();
    testsupport::TempDir dir;
    const std::string jpeg = JpegBytes(32, 24, Qt::gray);
    MakeNativeSet(dir.file("camera"), jpeg, 0);
    MakeNativeSet(dir.file("layers"), jpeg, 5);
    MakeNativeSet(dir.file("no thumbnail"), jpeg, 0, 0);
    testsupport::WriteFileBytes(dir.file("foreign/scene.tvn"), std::string(536, '\x7F'));
    testsupport::WriteFileBytes(dir.file("short/scene.tvn"), std::string(100, '\0'));

    EXPECT_EQ(SetTypeOfFolder(dir.wfile("camera")), 4);
    EXPECT_EQ(SetTypeOfFolder(dir.wfile("layers")), 5);
    EXPECT_EQ(SetTypeOfFolder(dir.wfile("no thumbnail")), 0);
    EXPECT_EQ(SetTypeOfFolder(dir.wfile("foreign")), 0);
    EXPECT_EQ(SetTypeOfFolder(dir.wfile("short")), 0);
    EXPECT_EQ(SetTypeOfFolder(dir.wfile("nowhere")), 0);

    const std::wstring rule(96, L'-');
    EXPECT_EQ(SetTooltipText(dir.wfile("camera")),
              L"类型 : 虚拟演播室\r\n路径 : " + dir.wfile("camera") + L"\r\n" + rule + L"\r\n双击鼠标左键编辑");
    EXPECT_EQ(SetTooltipText(dir.wfile("layers")),
              L"类型 : 多画面\r\n路径 : " + dir.wfile("layers") + L"\r\n" + rule + L"\r\n双击鼠标左键编辑");
    EXPECT_EQ(SetTooltipText(dir.wfile("foreign")).substr(0, 10), L"类型 : 多画面\r\n");
}

TEST(LibraryViewModes, EveryPagesModeComesBackFromTheSettingsFile)
{
    testsupport::FreshUserFolders folders;
    const ProjectSettings initial = g_settings;
    ASSERT_TRUE(StoreLibraryViewMode(kLibraryTolvenar, 1));
    ASSERT_TRUE(StoreLibraryViewMode(kLibraryRecent, 1));
    ASSERT_TRUE(StoreLibraryViewMode(kLibraryVmix, 0));
    const std::string saved = testsupport::ReadFileBytes(platform::WideToUtf8(SettingsFilePath()));
    EXPECT_NE(saved.find("VirtualSet=\"1\" MultiView=\"0\" ThirdVSet=\"1\""), std::string::npos);

    g_settings = initial;  // a new run starts from the initial values
    EXPECT_EQ(LibraryViewMode(kLibraryTolvenar), 0u);
    ASSERT_TRUE(RestoreLibraryViewModes());
    EXPECT_EQ(LibraryViewMode(kLibraryTolvenar), 1u);
    EXPECT_EQ(LibraryViewMode(kLibraryVmix), 0u);
    EXPECT_EQ(LibraryViewMode(kLibraryRecent), 1u);

    g_settings = initial;
    testsupport::WriteFileBytes(platform::WideToUtf8(SettingsFilePath()), "<Kelvane><ListViewState");
    EXPECT_FALSE(RestoreLibraryViewModes());
    EXPECT_EQ(LibraryViewMode(kLibraryTolvenar), 0u);
}
