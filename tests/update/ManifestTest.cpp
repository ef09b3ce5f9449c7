// Manifest parsing, the own version number and the manifest addresses.
#include "update/FileVersion.h"
#include "update/UpdateAddress.h"
#include "update/UpdateCheck.h"
#include "update/UpdateInfo.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

std::string Manifest(const std::string& version, const std::string& source = "https://dl.example.com/setup.exe")
{
    return R"({"Application":"Kelvane","Version":)" + version + R"(,"Platform":"x64","ReleaseDate":"2024-05-01",)"
        R"("ReleaseNotes":"修复\n改进","Source":")" + source + R"(","Hash":"abc","Size":5000000000})";
}

}  // namespace

TEST(Manifest, FieldsAreReadInOrderAndVersionIsTruncated)
{
    const UpdateInfo info = ParseManifestText(Manifest("1.3"));
    ASSERT_TRUE(info.valid);
    EXPECT_EQ(info.application, L"Kelvane");
    EXPECT_EQ(info.version, 130);
    EXPECT_EQ(info.platform, L"x64");
    EXPECT_EQ(info.releaseDate, L"2024-05-01");
    EXPECT_EQ(info.releaseNotes, L"修复\n改进");
    EXPECT_EQ(info.source, L"https://dl.example.com/setup.exe");
    EXPECT_EQ(info.hash, L"abc");
    EXPECT_EQ(info.size, 5000000000LL);
    EXPECT_TRUE(info.extra.empty());

    // 1.13 x 100 is 112.999... in binary floating point.
    EXPECT_EQ(ParseManifestText(Manifest("1.13")).version, 112);
    EXPECT_EQ(ParseManifestText(Manifest("2")).version, 200);
    EXPECT_TRUE(ParseManifestText("\xEF\xBB\xBF" + Manifest("1.3")).valid);  // byte-order mark
    EXPECT_TRUE(ParseManifestText(R"({"Version":1.5})").valid);              // other keys may be missing
}

TEST(Manifest, FaultyManifestsAreInvalid)
{
    for (const std::string& text : {
             std::string(""), std::string("not json"), std::string("[1,2]"), std::string(R"({"Version":"1.3"})"),
             std::string(R"({"Application":"x"})"), std::string(R"({"Version":1.3,"Size":-1})"),
             std::string(R"({"Version":1.3,"Size":1.5})"), std::string(R"({"Version":1.3,"Source":7})"),
             std::string(R"({"Version":1e300})"), std::string(R"({"Version":true})"),
             Manifest("1.3") + "garbage", Manifest("1.3").substr(0, 40), std::string(100000, '[')}) {
        const UpdateInfo info = ParseManifestText(text);
        EXPECT_FALSE(info.valid) << text.substr(0, 60);
        EXPECT_EQ(info.version, 0);
        EXPECT_TRUE(info.application.empty());
    }
}

TEST(Manifest, RecentUpdatesReadTheStoredFileAndShowNothingWithoutOne)
{
    testsupport::TempDir dir;
    EXPECT_FALSE(LoadRecentUpdate(120, dir.wpath()).has_value());
    testsupport::WriteFileBytes(dir.file("update.json"), Manifest("1.3"));
    auto recent = LoadRecentUpdate(120, dir.wpath());
    ASSERT_TRUE(recent.has_value());
    EXPECT_EQ(recent->info.version, 130);
    EXPECT_TRUE(recent->updateAvailable);
    EXPECT_FALSE(LoadRecentUpdate(130, dir.wpath())->updateAvailable);
    UpdateInfo info;
    // A file far larger than any manifest is not read at all.
    testsupport::WriteFileBytes(dir.file("update.json"), Manifest("1.3") + std::string(kMaxManifestBytes, ' '));
    EXPECT_FALSE(ParseStoredManifest(dir.wpath(), info));
}

TEST(Manifest, UpdateIsOfferedOnlyForNewerVersionsWithWebSource)
{
    EXPECT_TRUE(IsUpdateOffered(ParseManifestText(Manifest("1.3")), 120));
    EXPECT_FALSE(IsUpdateOffered(ParseManifestText(Manifest("1.2")), 120));
    EXPECT_FALSE(IsUpdateOffered(ParseManifestText(Manifest("1.13")), 112));
    EXPECT_TRUE(IsUpdateOffered(ParseManifestText(Manifest("1.3", "HTTP://dl.example.com:8080/a?b=c")), 120));
    // The source is opened with the shell: only web addresses may pass.
    for (const char* source : {"", "file:///usr/bin/xterm", "/usr/bin/xterm", "ftp://dl.example.com/a", "javascript:alert(1)",
             "C:\\\\setup.exe", "http://"}) {
        EXPECT_FALSE(IsUpdateOffered(ParseManifestText(Manifest("9.9", source)), 120)) << source;
    }
    UpdateInfo invalid;
    invalid.version = 999;
    invalid.source = L"https://dl.example.com/a";
    EXPECT_FALSE(IsUpdateOffered(invalid, 120));
}

TEST(FileVersion, FourNumbersReduceToTheCheckNumber)
{
    EXPECT_EQ(VersionNumberFromText(L"1.2.0.0"), 120);
    EXPECT_EQ(VersionNumberFromText(L"1,2,0,0"), 120);
    EXPECT_EQ(VersionNumberFromText(L"1, 2, 3, 4"), 123);
    EXPECT_EQ(VersionNumberFromText(L"2.0.0.9"), 200);
    for (const wchar_t* bad : {L"", L"1.2.0", L"1.2.0.0.0", L"a.b.c.d", L"1..0.0", L"70000.0.0.0", L"1.2,0.0", L"-1.2.0.0"})
        EXPECT_FALSE(VersionNumberFromText(bad).has_value()) << bad;
    // The build's own version is well formed.
    EXPECT_EQ(VersionNumberFromText(GetFileVersionText()), GetOwnVersionNumber());
}

TEST(UpdateAddress, MainlandManifestOnlyForSimplifiedChinese)
{
    EXPECT_EQ(GetUpdateManifestAddress(L"简体中文"), kUpdateManifestAddressMainland);
    for (const wchar_t* other : {L"English", L"", L"简体中文 ", L"繁體中文"})
        EXPECT_EQ(GetUpdateManifestAddress(other), kUpdateManifestAddressInternational) << other;
}
