#pragma once
// The caption under a set's icon. Names are measured in bytes of the user's
// locale charset, as the label was laid out for; a cut keeps whole
// characters, so a multi-byte character is never split.
#include <string>
#include <string_view>

inline constexpr size_t kSetCaptionMaxBytes = 33;   // longer names are cut
inline constexpr size_t kSetCaptionKeptBytes = 31;  // what a cut name keeps, before ".."

std::wstring ShortenSetName(std::wstring_view name);
