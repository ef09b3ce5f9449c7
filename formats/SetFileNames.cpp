#include "SetFileNames.h"

#include "platform/FileUtil.h"
#include "platform/TextConv.h"

#include <cwctype>
#include <filesystem>
#include <vector>

namespace {

using platform::JoinPath;

bool IsBlank(wchar_t c) { return c == 0xFEFF || c == 0xA0 || std::iswspace(static_cast<wint_t>(c)); }

std::wstring Trimmed(const std::wstring& text)
{
    size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

std::vector<std::wstring> SplitAtSlashes(const std::wstring& path)
{
    std::vector<std::wstring> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t slash = path.find(L'/', start);
        if (slash == std::wstring::npos)
            slash = path.size();
        if (slash > start)
            parts.push_back(path.substr(start, slash - start));
        start = slash + 1;
    }
    return parts;
}

// "." parts dropped and ".." parts applied; false when a ".." would leave the
// start (only checked when the parts are relative to the set folder).
bool Normalise(std::vector<std::wstring>& parts, bool relative)
{
    std::vector<std::wstring> out;
    for (std::wstring& part : parts) {
        if (part == L".")
            continue;
        if (part == L"..") {
            if (out.empty()) {
                if (relative)
                    return false;
                continue;
            }
            out.pop_back();
            continue;
        }
        out.push_back(std::move(part));
    }
    parts = std::move(out);
    return true;
}

bool HasDriveLetter(const std::wstring& name)
{
    return name.size() >= 2 && name[1] == L':' && std::iswalpha(static_cast<wint_t>(name[0]));
}

bool IsAbsoluteName(const std::wstring& name) { return name.starts_with(L"/") || HasDriveLetter(name); }

// The parts of an absolute name below its root: the drive ("C:"), or the
// server and share of a network name ("//server/share").
std::vector<std::wstring> PartsBelowRoot(const std::wstring& name)
{
    if (HasDriveLetter(name))
        return SplitAtSlashes(name.substr(2));
    std::vector<std::wstring> parts = SplitAtSlashes(name);
    if (name.starts_with(L"//"))
        parts.erase(parts.begin(), parts.begin() + static_cast<ptrdiff_t>(std::min<size_t>(2, parts.size())));
    return parts;
}

bool SameWithoutCase(const std::wstring& a, const std::wstring& b)
{
    return platform::ToUpperWide(a) == platform::ToUpperWide(b);
}

// The entry of a folder with this name: the exact spelling, else the one
// entry that matches without regard to case. Empty when there is none.
std::wstring FindEntry(const std::wstring& folder, const std::wstring& name)
{
    if (platform::PathExists(JoinPath(folder, name)))
        return name;
    for (const std::wstring& entry : platform::ListFolder(folder)) {
        if (SameWithoutCase(entry, name))
            return entry;
    }
    return {};
}

// The file the parts name below the folder, spelled as on disk; empty when
// it is not there.
std::wstring FindBelow(const std::wstring& folder, const std::vector<std::wstring>& parts)
{
    if (parts.empty())
        return {};
    std::wstring path = folder;
    for (const std::wstring& part : parts) {
        const std::wstring entry = FindEntry(path, part);
        if (entry.empty())
            return {};
        path = JoinPath(path, entry);
    }
    return platform::FileExists(path) ? path : std::wstring();
}

std::wstring JoinParts(const std::wstring& folder, const std::vector<std::wstring>& parts)
{
    std::wstring path = folder;
    for (const std::wstring& part : parts)
        path = JoinPath(path, part);
    return path;
}

// Whether the file, with every symbolic link followed, still lies below the folder.
bool StaysInside(const std::wstring& folder, const std::wstring& file)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path root = fs::canonical(platform::NativePath(folder), ec);
    if (ec)
        return false;
    const fs::path target = fs::canonical(platform::NativePath(file), ec);
    if (ec)
        return false;
    const fs::path relative = target.lexically_relative(root);
    return !relative.empty() && *relative.begin() != ".." && relative != ".";
}

bool IsDeviceName(const std::wstring& stem)
{
    static const wchar_t* const kNames[] = {L"CON", L"PRN", L"AUX", L"NUL"};
    const std::wstring upper = platform::ToUpperWide(stem);
    for (const wchar_t* name : kNames) {
        if (upper == name)
            return true;
    }
    return upper.size() == 4 && (upper.starts_with(L"COM") || upper.starts_with(L"LPT")) && upper[3] >= L'1' &&
           upper[3] <= L'9';
}

}  // namespace

SetFileLookup FindSetFile(const std::wstring& setFolder, const std::wstring& name)
{
    SetFileLookup result;
    std::wstring text = Trimmed(name);
    if (text.empty())
        return result;
    for (wchar_t& c : text) {
        if (c == L'\\')
            c = L'/';
    }
    // Where the file may be, most likely first.
    std::vector<std::vector<std::wstring>> candidates;
    if (IsAbsoluteName(text)) {
        std::vector<std::wstring> parts = PartsBelowRoot(text);
        Normalise(parts, false);
        const std::wstring setName = platform::FileNamePart(setFolder);
        for (size_t k = parts.size(); k-- > 0;) {
            if (SameWithoutCase(parts[k], setName) && k + 1 < parts.size()) {
                candidates.emplace_back(parts.begin() + static_cast<ptrdiff_t>(k + 1), parts.end());
                break;
            }
        }
        if (!parts.empty())
            candidates.push_back({parts.back()});
    } else {
        std::vector<std::wstring> parts = SplitAtSlashes(text);
        if (!Normalise(parts, true)) {
            result.problem = SetFileProblem::Outside;
            return result;
        }
        if (!parts.empty())
            candidates.push_back(std::move(parts));
    }
    if (candidates.empty())
        return result;  // only separators and dots: no file named
    for (const auto& parts : candidates) {
        const std::wstring found = FindBelow(setFolder, parts);
        if (found.empty())
            continue;
        if (!StaysInside(setFolder, found)) {
            result.problem = SetFileProblem::Outside;
            return result;
        }
        result.path = found;
        return result;
    }
    result.path = JoinParts(setFolder, candidates.front());
    result.problem = SetFileProblem::Missing;
    return result;
}

std::wstring DescribeSetFileNote(const SetFileNote& note)
{
    const std::wstring what = note.problem == SetFileProblem::Outside ? L"names a file outside the set folder (not read)"
                                                                      : L"is missing";
    return L"layer \"" + note.layer + L"\": \"" + note.name + L"\" " + what;
}

std::wstring WindowsSafeFileName(const std::wstring& name)
{
    static const std::wstring kForbidden = L":?\"\\|*<>/";
    std::wstring safe = name;
    for (wchar_t& c : safe) {
        if (c < 0x20 || kForbidden.find(c) != std::wstring::npos)
            c = L'_';
    }
    for (size_t i = safe.size(); i-- > 0 && (safe[i] == L'.' || safe[i] == L' ');)
        safe[i] = L'_';
    const size_t dot = safe.find(L'.');
    if (IsDeviceName(safe.substr(0, dot)))
        safe.insert(dot == std::wstring::npos ? safe.size() : dot, L"_");
    return safe.empty() ? L"_" : safe;
}

SetFileNames::SetFileNames(const std::wstring& folder) : m_folder(folder)
{
    Take(L"config.xml", L"");
    Take(L"thumbnail.jpg", L"");
}

void SetFileNames::KeepOwnName(const std::wstring& source)
{
    const std::wstring name = platform::FileNamePart(source);
    if (name.empty() || WindowsSafeFileName(name) != name)
        return;
    if (platform::IsSameFile(JoinPath(m_folder, name), source))
        Take(name, source);
}

std::wstring SetFileNames::NameFor(const std::wstring& source)
{
    const std::wstring name = WindowsSafeFileName(platform::FileNamePart(source));
    const std::wstring stem = platform::StemPart(name), extension = platform::ExtensionPart(name);
    for (int n = 1;; ++n) {
        const std::wstring candidate = n == 1 ? name : stem + L" (" + std::to_wstring(n) + L")" + extension;
        if (Take(candidate, source))
            return candidate;
    }
}

bool SetFileNames::Take(const std::wstring& name, const std::wstring& source)
{
    const std::wstring key = platform::ToUpperWide(name);
    const auto it = m_taken.find(key);
    if (it == m_taken.end()) {
        m_taken.emplace(key, source);
        return true;
    }
    return !source.empty() && !it->second.empty() &&
           (it->second == source || platform::IsSameFile(it->second, source));
}
