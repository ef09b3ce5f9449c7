#include "SettingsFiles.h"

#include "UserFolders.h"
#include "VideoFormats.h"
#include "formats/XmlDocument.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"

#include <algorithm>
#include <charconv>
#include <initializer_list>
#include <limits>

CRecentSetList g_recentSets;

namespace {

const wchar_t kDeclaration[] = L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

// Numbers are formatted here rather than with printf so that they always
// carry a point, whatever the user's locale says.
template <typename T>
std::wstring NumberText(T value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof(buffer), value);
    return std::wstring(buffer, result.ptr);
}

// "%.02f"
std::wstring TwoDecimals(float value)
{
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof(buffer), static_cast<double>(value), std::chars_format::fixed, 2);
    if (result.ec != std::errc())
        return L"0.00";
    return std::wstring(buffer, result.ptr);
}

std::wstring JoinedNumbers(std::initializer_list<int> values)
{
    std::wstring out;
    for (int v : values) {
        if (!out.empty())
            out += L',';
        out += NumberText(v);
    }
    return out;
}

// Leading decimal digits (with an optional sign); 0 when there are none.
int64_t ParseTime(const std::wstring& text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+'))
        negative = text[i++] == L'-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        const int digit = text[i] - L'0';
        if (value > (std::numeric_limits<int64_t>::max() - digit) / 10)
            return negative ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

void AddPathList(CXmlDocument& doc, const wchar_t* name, const SettingsPathList& list)
{
    doc.AddElement(name);
    doc.EnterElement();
    doc.AddElement(L"Last", list.Last);
    for (const std::wstring& path : list.Paths)
        doc.AddElement(L"Path", path);
    doc.LeaveElement();
}

void BuildSettingsDocument(CXmlDocument& doc, const ProjectSettings& s)
{
    doc.SetDocumentText(kDeclaration);
    doc.AddElement(L"Kelvane");
    doc.EnterElement();
    doc.AddElement(L"Project", s.ProjectName);

    doc.AddElement(L"Video");
    doc.EnterElement();
    doc.AddElement(L"Name", s.FormatName);
    doc.AddElement(L"FrameRate", TwoDecimals(s.FrameRate));
    doc.AddElement(L"Width", NumberText(s.Width));
    doc.AddElement(L"Height", NumberText(s.Height));
    doc.AddElement(L"Interlace", NumberText(s.Interlace));
    doc.AddElement(L"ColorSpace", NumberText(s.ColorSpace));
    doc.AddElement(L"ColorFormat", NumberText(s.ColorFormat));
    doc.AddElement(L"ColorRange", NumberText(s.ColorRange));
    doc.LeaveElement();

    doc.AddElement(L"Audio");
    doc.EnterElement();
    doc.AddElement(L"MonitorDevice", s.MonitorDevice);
    doc.AddElement(L"MonitorDeviceID", s.MonitorDeviceID);
    doc.AddElement(L"SampleRate", NumberText(s.SampleRate));
    doc.AddElement(L"Channel", NumberText(s.Channel));
    doc.LeaveElement();

    doc.AddElement(L"ListViewState");
    const std::pair<const wchar_t*, unsigned> states[] = {
        {L"Clip", s.Clip},       {L"CG", s.CG},           {L"VirtualSet", s.VirtualSet}, {L"MultiView", s.MultiView},
        {L"ThirdVSet", s.ThirdVSet}, {L"Effect1", s.Effect1}, {L"Effect2", s.Effect2},   {L"Effect3", s.Effect3},
        {L"Effect4", s.Effect4}, {L"Record", s.Record},   {L"SourceLock", s.SourceLock}};
    for (const auto& [name, value] : states)
        doc.SetAttribute(name, NumberText(value));

    doc.AddElement(L"Last");
    doc.EnterElement();
    doc.AddElement(L"Function", s.Function);
    doc.AddElement(L"LastFilePath", s.LastFilePath);
    doc.AddElement(L"LastFileFilter", NumberText(s.LastFileFilter));
    doc.AddElement(L"LastCapturePath", s.LastCapturePath);
    doc.AddElement(L"LastOverlay", NumberText(s.LastOverlay));
    doc.AddElement(L"LayerBox", NumberText(s.LayerBox));
    doc.AddElement(L"AutoCheckNew", NumberText(s.AutoCheckNew));
    doc.AddElement(L"KeepRatio", NumberText(s.KeepRatio));
    const int* c = s.Collapse;
    doc.AddElement(L"Collapse", JoinedNumbers({c[0], c[1], c[2], c[3], c[4], c[5]}));
    doc.LeaveElement();

    doc.AddElement(L"Path");
    doc.EnterElement();
    AddPathList(doc, L"VideoPath", s.VideoPath);
    AddPathList(doc, L"AudioPath", s.AudioPath);
    AddPathList(doc, L"ImagePath", s.ImagePath);
    AddPathList(doc, L"RecordPath", s.RecordPath);
    AddPathList(doc, L"CgPath", s.CgPath);
    AddPathList(doc, L"XamlPath", s.XamlPath);
    doc.LeaveElement();

    if (!s.Workspace.empty()) {
        doc.AddElement(L"Workspace");
        doc.EnterElement();
        for (const auto& [name, value] : s.Workspace)
            doc.AddElement(name, value);
        doc.LeaveElement();
    }
}

// An element name the workspace may use: letters and digits.
bool IsWorkspaceName(const std::wstring& name)
{
    return !name.empty() && name.size() <= 64 && std::all_of(name.begin(), name.end(), [](wchar_t c) {
        return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9');
    });
}

// The texts of the children of Kelvane/section, by name.
std::vector<std::pair<std::wstring, std::wstring>> SectionValues(CXmlDocument& doc, std::wstring_view section)
{
    std::vector<std::pair<std::wstring, std::wstring>> values;
    doc.Rewind();
    if (!doc.FindElement(L"Kelvane") || !doc.FindChildElement(section) || !doc.EnterElement())
        return values;
    // A file that claims more than a workspace ever holds is read no further.
    constexpr size_t kMostValues = 256;
    while (values.size() < kMostValues && doc.FindChildElement()) {
        doc.EnterElement();
        std::wstring name = doc.GetTagName();
        std::wstring text = doc.GetElementText();
        doc.LeaveElement();
        values.emplace_back(std::move(name), std::move(text));
    }
    return values;
}

std::wstring UserDataFile(const wchar_t* name) { return platform::JoinPath(GetUserDataFolder(), name); }

}  // namespace

std::wstring SettingsFilePath() { return UserDataFile(L"Setting.xml"); }

bool WriteSettingsFile() { return WriteSettingsFile(g_settings, SettingsFilePath()); }

bool WriteSettingsFile(const ProjectSettings& settings, const std::wstring& path)
{
    CXmlDocument doc;
    BuildSettingsDocument(doc, settings);
    if (!doc.IsWellFormed())
        return false;
    return doc.SaveFile(path);
}

bool ReadVideoFormatSetting(ProjectSettings& settings, const std::wstring& path)
{
    if (!platform::FileExists(path))
        return false;
    CXmlDocument doc;
    if (!doc.LoadFile(path) || !doc.FindElement(L"Kelvane") || !doc.FindChildElement(L"Video") || !doc.EnterElement())
        return false;
    int width = 0, height = 0;
    float frameRate = 0.0f;
    while (doc.FindChildElement()) {
        doc.EnterElement();
        const std::wstring name = doc.GetTagName();
        const std::string text = platform::WideToUtf8(doc.GetElementText());
        doc.LeaveElement();
        if (name == L"Width")
            std::from_chars(text.data(), text.data() + text.size(), width);
        else if (name == L"Height")
            std::from_chars(text.data(), text.data() + text.size(), height);
        else if (name == L"FrameRate")
            std::from_chars(text.data(), text.data() + text.size(), frameRate);
    }
    const VideoFormat* format = FindVideoFormat(width, height, frameRate);
    if (!format)
        return false;
    ApplyVideoFormat(settings, *format);
    return true;
}

bool ReadWorkspaceSetting(ProjectSettings& settings, const std::wstring& path)
{
    // The file is the workspace's one source: without it the editor starts afresh.
    settings.Workspace.clear();
    if (!platform::FileExists(path))
        return false;
    CXmlDocument doc;
    if (!doc.LoadFile(path))
        return false;
    for (const auto& [name, text] : SectionValues(doc, L"Last")) {
        if (name == L"LastCapturePath")
            settings.LastCapturePath = text;
        else if (name == L"KeepRatio")
            settings.KeepRatio = text == L"0" ? 0 : 1;
    }
    for (auto& [name, text] : SectionValues(doc, L"Workspace")) {
        if (IsWorkspaceName(name))
            settings.Workspace.emplace_back(name, text);
    }
    return true;
}

CRecentSetList::CRecentSetList(std::wstring filePath) : m_filePath(std::move(filePath)) {}

std::wstring CRecentSetList::FilePath() const
{
    return m_filePath.empty() ? UserDataFile(L"workspace.xml") : m_filePath;
}

bool CRecentSetList::LoadRecentList()
{
    m_entries.clear();
    m_loaded = true;
    const std::wstring path = FilePath();
    if (!platform::FileExists(path))
        return false;
    CXmlDocument doc;
    if (!doc.LoadFile(path) || !doc.FindElement(L"Workspaces"))
        return false;
    while (doc.FindChildElement(L"Item")) {
        doc.EnterElement();
        RecentSet entry{doc.GetAttribute(L"Path"), ParseTime(doc.GetAttribute(L"Time"))};
        doc.LeaveElement();
        if (!entry.path.empty())
            m_entries.push_back(std::move(entry));
    }
    return true;
}

int CRecentSetList::FindInRecentList(const std::wstring& path) const
{
    const std::wstring wanted = platform::ToUpperWide(path);
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (platform::ToUpperWide(m_entries[i].path) == wanted)
            return static_cast<int>(i);
    }
    return -1;
}

void CRecentSetList::TouchRecentEntry(const std::wstring& path, int64_t time)
{
    // A list never read would overwrite the file with this one entry.
    if (!m_loaded)
        LoadRecentList();
    for (int at = FindInRecentList(path); at >= 0; at = FindInRecentList(path))
        m_entries.erase(m_entries.begin() + at);
    m_entries.push_back(RecentSet{path, time});
}

bool CRecentSetList::RemoveRecentEntry(size_t index)
{
    if (index >= m_entries.size())
        return false;
    m_entries.erase(m_entries.begin() + static_cast<ptrdiff_t>(index));
    return true;
}

bool CRecentSetList::WriteRecentList() const
{
    // Nothing was read, so nothing can have changed: writing now would only
    // replace the file with an empty list.
    if (!m_loaded)
        return false;
    CXmlDocument doc;
    doc.SetDocumentText(kDeclaration);
    doc.AddElement(L"Workspaces");
    doc.EnterElement();
    for (const RecentSet& entry : m_entries) {
        doc.AddElement(L"Item");
        doc.SetAttribute(L"Path", entry.path);
        doc.SetAttribute(L"Time", NumberText(entry.time));
    }
    if (!doc.IsWellFormed())
        return false;
    return doc.SaveFile(FilePath());
}
