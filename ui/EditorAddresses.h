#pragma once
// The web addresses the editor links to, chosen by the interface language:
// the mainland ones only for exactly "简体中文".
#include <string>
#include <string_view>

std::wstring GetHomePageAddress(std::wstring_view language);
std::wstring GetTolvenarPageAddress(std::wstring_view language);
std::wstring GetSupportAddress(std::wstring_view language);
std::wstring GetVmixPageAddress();

// The same for the current language.
std::wstring GetHomePageAddress();
std::wstring GetTolvenarPageAddress();
std::wstring GetSupportAddress();
