#include "MyIniFile.h"

#include "lumora/ProgramFolder.h"
#include "platform/FileUtil.h"
#include "platform/IniFile.h"

namespace {
constexpr size_t kValueChars = 259;
}

CMyIniFile::CMyIniFile(const std::wstring& fileName) : m_sPath(platform::JoinPath(lumora::ProgramFolder(), fileName)) {}

std::wstring CMyIniFile::GetProfileStringW(const std::wstring& section, const std::wstring& key,
                                           const std::wstring& defaultValue) const
{
    const std::wstring value = platform::ReadProfileString(m_sPath, section, key, L"", kValueChars);
    return value.empty() ? defaultValue : value;
}

bool CMyIniFile::WriteProfileStringW(const std::wstring& section, const std::wstring& key, const std::wstring& value)
{
    return platform::WriteProfileString(m_sPath, section, key, value);
}

unsigned CMyIniFile::GetProfileIntW(const std::wstring& section, const std::wstring& key, int defaultValue) const
{
    return platform::ReadProfileInt(m_sPath, section, key, defaultValue);
}

bool CMyIniFile::WriteProfileInt(const std::wstring& section, const std::wstring& key, int value)
{
    return platform::WriteProfileString(m_sPath, section, key, std::to_wstring(value));
}
