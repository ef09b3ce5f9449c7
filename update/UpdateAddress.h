#pragma once
// Where the maker's update server keeps the manifests: one in Chinese for the
// mainland, one in English for everyone else.
#include <string>
#include <string_view>

// Placeholders until the maker's server addresses are known; both are the
// only place these addresses appear.
inline constexpr wchar_t kUpdateManifestAddressMainland[] = L"https://updates.example.com/kelvane/zh-CN/update.json";
inline constexpr wchar_t kUpdateManifestAddressInternational[] = L"https://updates.example.com/kelvane/en/update.json";

// The language name the mainland addresses belong to.
inline constexpr wchar_t kMainlandLanguage[] = L"简体中文";

// The manifest address for the current interface language: the mainland one
// only for exactly "简体中文", the international one for any other language
// (an empty name included).
std::wstring GetUpdateManifestAddress(std::wstring_view currentLanguage);
