#include "lumora/MyIniFile.h"

#include "app/UserFolders.h"
#include "platform/FileUtil.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// A file of this process's own in the program folder, removed afterwards.
class ProgramFolderIni {
public:
    ProgramFolderIni() : m_name(L"lumora-test-" + std::to_wstring(::getpid()) + L".ini") {}
    ~ProgramFolderIni() { platform::RemoveFile(path()); }
    const std::wstring& name() const { return m_name; }
    std::wstring path() const { return GetProgramFolder() + L"/" + m_name; }

private:
    std::wstring m_name;
};

}  // namespace

TEST(MyIniFile, FileLivesInTheProgramFolder)
{
    ProgramFolderIni file;
    CMyIniFile ini(file.name());
    EXPECT_EQ(ini.GetPath(), file.path());
    ASSERT_TRUE(ini.WriteProfileStringW(L"Window", L"Title", L"演播室"));
    EXPECT_TRUE(platform::FileExists(file.path()));
    EXPECT_EQ(CMyIniFile(file.name()).GetProfileStringW(L"window", L"TITLE", L"x"), L"演播室");
}

TEST(MyIniFile, EmptyOrAbsentValuesGiveTheDefaultAndValuesAreCut)
{
    ProgramFolderIni file;
    CMyIniFile ini(file.name());
    ASSERT_TRUE(ini.WriteProfileStringW(L"A", L"empty", L""));
    ASSERT_TRUE(ini.WriteProfileStringW(L"A", L"long", std::wstring(300, L'a')));
    EXPECT_EQ(ini.GetProfileStringW(L"A", L"empty", L"dflt"), L"dflt");
    EXPECT_EQ(ini.GetProfileStringW(L"A", L"absent", L"dflt"), L"dflt");
    EXPECT_EQ(ini.GetProfileStringW(L"A", L"long", L""), std::wstring(259, L'a'));
}

TEST(MyIniFile, IntegersAreWrittenAsDecimal)
{
    ProgramFolderIni file;
    CMyIniFile ini(file.name());
    ASSERT_TRUE(ini.WriteProfileInt(L"N", L"neg", -5));
    EXPECT_EQ(ini.GetProfileStringW(L"N", L"neg", L""), L"-5");
    EXPECT_EQ(ini.GetProfileIntW(L"N", L"neg", 0), static_cast<unsigned>(-5));
    EXPECT_EQ(ini.GetProfileIntW(L"N", L"absent", 7), 7u);
}
