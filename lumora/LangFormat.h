#pragma once
// printf-style formatting of translated texts. The format comes from a
// language file that users may edit, so the values travel with their types
// and every conversion is checked against the value it meets: a wrong or
// missing conversion never reads memory it should not. Conversions follow the
// Windows wide printf: "%s" takes wide text, "%ld" is 32 bits, "%lld" and
// "%I64d" are 64 bits.
#include "lumora/LumoraApi.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace lumora {

class LUMORA_API FormatArg {
public:
    enum class Kind { Signed, Unsigned, Real, Text };

    template <class T>
    FormatArg(const T& value)  // NOLINT: implicit on purpose, for FormatLangString
    {
        if constexpr (std::is_same_v<T, bool>) {
            m_kind = Kind::Signed;
            m_signed = value ? 1 : 0;
        } else if constexpr (std::is_enum_v<T>) {
            m_kind = Kind::Signed;
            m_signed = static_cast<int64_t>(value);
        } else if constexpr (std::is_integral_v<T> && std::is_signed_v<T>) {
            m_kind = Kind::Signed;
            m_signed = value;
        } else if constexpr (std::is_integral_v<T>) {
            m_kind = Kind::Unsigned;
            m_unsigned = value;
        } else if constexpr (std::is_floating_point_v<T>) {
            m_kind = Kind::Real;
            m_real = static_cast<double>(value);
        } else if constexpr (std::is_convertible_v<const T&, std::wstring_view>) {
            m_kind = Kind::Text;
            m_text = std::wstring_view(value);
        } else {
            static_assert(sizeof(T) == 0, "texts are wide: convert 8-bit text before formatting it");
        }
    }

    Kind kind() const { return m_kind; }
    int64_t asSigned() const;
    uint64_t asUnsigned() const;
    double asReal() const;
    std::wstring asText() const;

private:
    Kind m_kind = Kind::Signed;
    int64_t m_signed = 0;
    uint64_t m_unsigned = 0;
    double m_real = 0;
    std::wstring m_text;
};

// Formats the values by the format. A conversion without a value is written
// as it stands; "%n" writes nothing; widths and precisions are capped.
LUMORA_API std::wstring FormatPrintf(std::wstring_view format, std::span<const FormatArg> values);

// The conversions of a format in order, each as its length modifier and type
// ("d", "lld", "s", "f"); a '*' width or precision counts as "*". "%%" is not
// a conversion. Two formats take the same values when these lists are equal.
LUMORA_API std::vector<std::wstring> PrintfConversions(std::wstring_view format);

}  // namespace lumora
