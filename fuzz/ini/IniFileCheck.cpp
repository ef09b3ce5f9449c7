#include "IniFileCheck.h"

#include "platform/FileUtil.h"
#include "platform/IniFile.h"

#include <map>
#include <vector>

using platform::IniFile;

namespace {

constexpr wchar_t kValue[] = L"fz-value";

// Every section with each key's value as Get answers it.
using Contents = std::map<std::wstring, std::map<std::wstring, std::wstring>>;

Contents ContentsOf(const IniFile& file)
{
    Contents contents;
    for (const std::wstring& section : file.SectionNames()) {
        auto& keys = contents[section];
        for (const std::wstring& key : file.KeyNames(section))
            keys[key] = file.Get(section, key).value_or(L"\x01missing");
    }
    return contents;
}

std::string CheckEdits(const IniFile& original, const Contents& before)
{
    // One existing key (when there is one) and one new key in a new section.
    std::vector<std::pair<std::wstring, std::wstring>> targets{{L"FuzzSection", L"FuzzKey"}};
    for (const auto& [section, keys] : before) {
        if (!keys.empty()) {
            targets.emplace_back(section, keys.begin()->first);
            break;
        }
    }
    for (const auto& [section, key] : targets) {
        IniFile file = original;
        if (!file.Set(section, key, kValue))
            continue;  // a name the format cannot hold
        if (file.Get(section, key) != kValue)
            return "a value set is not read back";
        const IniFile reparsed = IniFile::FromText(file.ToText(), file.Encoding());
        if (reparsed.Get(section, key) != kValue)
            return "a value set is lost when the text is parsed again";
        // Keys of other sections are untouched.
        const Contents after = ContentsOf(reparsed);
        for (const auto& [otherSection, keys] : before) {
            if (platform::IniNamesEqual(otherSection, section))
                continue;
            auto it = after.find(otherSection);
            if (it == after.end() || it->second != keys)
                return "a write changed another section";
        }
        if (file.Remove(section, key) && file.Get(section, key) == kValue)
            return "a removed key still reads";
    }
    return {};
}

std::string CheckFileFunctions(const std::string& bytes, const std::wstring& folder, const Contents& contents)
{
    const std::wstring path = platform::JoinPath(folder, L"fuzz.ini");
    if (!platform::WriteFileAtomically(path, bytes))
        return "the candidate could not be written";
    for (const auto& [section, keys] : contents) {
        for (const auto& [key, value] : keys) {
            if (platform::ReadProfileString(path, section, key, L"", 4096) != value.substr(0, 4096))
                return "ReadProfileString disagrees with the parsed file";
            platform::ParseProfileInt(value);
        }
        break;  // one section is enough: each read parses the whole file
    }
    const std::optional<IniFile> loaded = IniFile::Load(path);
    if (!loaded || ContentsOf(*loaded) != contents)
        return "loading the file disagrees with parsing its bytes";
    if (platform::WriteProfileString(path, L"FuzzSection", L"FuzzKey", kValue) &&
        platform::ReadProfileString(path, L"FuzzSection", L"FuzzKey", L"", 100) != kValue)
        return "WriteProfileString reported success but the value does not read back";
    return {};
}

}  // namespace

std::string CheckIniFileInput(const std::string& bytes, const std::wstring& folder)
{
    const IniFile file = IniFile::FromBytes(bytes);
    const Contents contents = ContentsOf(file);
    if (ContentsOf(IniFile::FromText(file.ToText(), file.Encoding())) != contents)
        return "the file's own text parses differently";
    if (const std::string fault = CheckEdits(file, contents); !fault.empty())
        return fault;
    return CheckFileFunctions(bytes, folder, contents);
}
