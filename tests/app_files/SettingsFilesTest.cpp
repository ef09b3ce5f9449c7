#include "app/SettingsFiles.h"
#include "app/UserFolders.h"
#include "app/VideoFormats.h"
#include "platform/FileUtil.h"
#include "platform/TextConv.h"
#include "support/TestSupport.h"
#include "ui/EditorWorkspace.h"
#include "ui/ShellDialogs.h"

#include <clocale>
#include <gtest/gtest.h>
#include <string>

using testsupport::FreshUserFolders;
using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::WriteFileBytes;

namespace {

// Setting.xml with the initial values, written out line by line.
std::string InitialSettingsFile()
{
    const char* lines[] = {
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
        "<Kelvane>",
        "<Project/>",
        "<Video>",
        "<Name>HD 1080p25</Name>",
        "<FrameRate>25.00</FrameRate>",
        "<Width>1920</Width>",
        "<Height>1080</Height>",
        "<Interlace>0</Interlace>",
        "<ColorSpace>0</ColorSpace>",
        "<ColorFormat>0</ColorFormat>",
        "<ColorRange>0</ColorRange>",
        "</Video>",
        "<Audio>",
        "<MonitorDevice/>",
        "<MonitorDeviceID/>",
        "<SampleRate>0</SampleRate>",
        "<Channel>1</Channel>",
        "</Audio>",
        ("<ListViewState Clip=\"0\" CG=\"0\" VirtualSet=\"0\" MultiView=\"0\" ThirdVSet=\"0\" Effect1=\"0\" "
         "Effect2=\"0\" Effect3=\"0\" Effect4=\"0\" Record=\"0\" SourceLock=\"0\"/>"),
        "<Last>",
        "<Function/>",
        "<LastFilePath/>",
        "<LastFileFilter>0</LastFileFilter>",
        "<LastCapturePath/>",
        "<LastOverlay>0</LastOverlay>",
        "<LayerBox>1</LayerBox>",
        "<AutoCheckNew>1</AutoCheckNew>",
        "<KeepRatio>0</KeepRatio>",
        "<Collapse>0,0,0,0,0,0</Collapse>",
        "</Last>",
        "<Path>",
        "<VideoPath>", "<Last/>", "</VideoPath>",
        "<AudioPath>", "<Last/>", "</AudioPath>",
        "<ImagePath>", "<Last/>", "</ImagePath>",
        "<RecordPath>", "<Last/>", "</RecordPath>",
        "<CgPath>", "<Last/>", "</CgPath>",
        "<XamlPath>", "<Last/>", "</XamlPath>",
        "</Path>",
        "</Kelvane>",
    };
    std::string out;
    for (const char* line : lines)
        out += std::string(line) + "\r\n";
    return out;
}

std::string UserFile(const FreshUserFolders& folders, const char* name)
{
    return folders.dataHome() + "/Kelvane/" + name;
}

}  // namespace

TEST(SettingsFile, InitialValuesGiveExactlyTheKnownFile)
{
    FreshUserFolders folders;
    ASSERT_TRUE(WriteSettingsFile());
    EXPECT_EQ(ReadFileBytes(UserFile(folders, "Setting.xml")), InitialSettingsFile());
}

TEST(SettingsFile, ToggledKeepRatioIsWrittenEachTime)
{
    FreshUserFolders folders;
    g_settings.KeepRatio = 1;
    ASSERT_TRUE(WriteSettingsFile());
    EXPECT_NE(ReadFileBytes(UserFile(folders, "Setting.xml")).find("<KeepRatio>1</KeepRatio>"), std::string::npos);
    g_settings.KeepRatio = 0;
    ASSERT_TRUE(WriteSettingsFile());
    EXPECT_EQ(ReadFileBytes(UserFile(folders, "Setting.xml")), InitialSettingsFile());
}

TEST(SettingsFile, FrameRateHasTwoDecimalsAndAPointInAnyLocale)
{
    TempDir locales;
    const bool comma = testsupport::UseDecimalCommaLocale(locales);
    if (comma) {
        char buffer[16];
        std::snprintf(buffer, sizeof(buffer), "%.2f", 1.5);
        ASSERT_STREQ(buffer, "1,50") << "the locale really uses a comma";
    }
    TempDir dir;
    ProjectSettings s;
    const std::pair<float, const char*> cases[] = {{29.97f, "29.97"}, {30.0f, "30.00"}, {59.94f, "59.94"}, {23.976f, "23.98"}};
    for (const auto& [rate, text] : cases) {
        s.FrameRate = rate;
        ASSERT_TRUE(WriteSettingsFile(s, dir.wfile("s.xml")));
        EXPECT_NE(ReadFileBytes(dir.file("s.xml")).find(std::string("<FrameRate>") + text + "</FrameRate>"),
                  std::string::npos)
            << text;
    }
    if (!comma)
        GTEST_SKIP() << "no comma locale could be built; checked in the C locale only";
}

TEST(SettingsFile, ChangedValuesAndPathListsAreEscapedAndInOrder)
{
    TempDir dir;
    ProjectSettings s;
    s.ProjectName = L"News & <Sport>";
    s.VirtualSet = 1;
    s.LastCapturePath = L"/home/u/\u5FEB\u7167";
    s.Collapse[5] = 1;
    s.ImagePath.Last = L"/a";
    s.ImagePath.Paths = {L"/a", L"/b"};
    ASSERT_TRUE(WriteSettingsFile(s, dir.wfile("s.xml")));
    const std::string text = ReadFileBytes(dir.file("s.xml"));
    EXPECT_NE(text.find("<Project>News &amp; &lt;Sport&gt;</Project>\r\n"), std::string::npos);
    EXPECT_NE(text.find(" VirtualSet=\"1\" "), std::string::npos);
    EXPECT_NE(text.find("<LastCapturePath>/home/u/\xE5\xBF\xAB\xE7\x85\xA7</LastCapturePath>"), std::string::npos);
    EXPECT_NE(text.find("<Collapse>0,0,0,0,0,1</Collapse>"), std::string::npos);
    EXPECT_NE(text.find("<ImagePath>\r\n<Last>/a</Last>\r\n<Path>/a</Path>\r\n<Path>/b</Path>\r\n</ImagePath>"),
              std::string::npos);
}

TEST(SettingsFile, FailedSaveLeavesTheOldFileWhole)
{
    TempDir dir;
    const std::string target = dir.file("Setting.xml");
    ProjectSettings s;
    ASSERT_TRUE(WriteSettingsFile(s, dir.wfile("Setting.xml")));
    const std::string before = ReadFileBytes(target);
    EXPECT_FALSE(WriteSettingsFile(s, dir.wfile("missing/Setting.xml")));
    EXPECT_EQ(ReadFileBytes(target), before);
    EXPECT_EQ(platform::ListFolder(dir.wpath()).size(), 1u) << "no temporary file left behind";
}

// The video format is the one part of the file read back: every offered
// format comes back as written; a file without one, with a size the editor
// does not offer, or damaged leaves the record as it was.
TEST(SettingsFile, OnlyAnOfferedVideoFormatIsReadBack)
{
    TempDir dir;
    const std::wstring path = dir.wfile("Setting.xml");
    EXPECT_EQ(OfferedVideoFormats().size(), 12u);
    for (const VideoFormat& format : OfferedVideoFormats()) {
        ProjectSettings written;
        ApplyVideoFormat(written, format);
        written.KeepRatio = 1;
        ASSERT_TRUE(WriteSettingsFile(written, path));
        ProjectSettings read;
        ASSERT_TRUE(ReadVideoFormatSetting(read, path)) << platform::WideToUtf8(format.name);
        EXPECT_TRUE(SettingsUseVideoFormat(read, format));
        EXPECT_EQ(read.FormatName, format.name);
        EXPECT_EQ(read.KeepRatio, 0) << "only the format comes back";
    }

    const ProjectSettings initial;
    const auto readsNothing = [&](const std::string& text) {
        WriteFileBytes(dir.file("Setting.xml"), text);
        ProjectSettings read;
        const bool taken = ReadVideoFormatSetting(read, path);
        return !taken && read.Width == initial.Width && read.Height == initial.Height &&
               read.FrameRate == initial.FrameRate && read.FormatName == initial.FormatName;
    };
    std::string odd = ReadFileBytes(dir.file("Setting.xml"));
    odd.replace(odd.find("<Width>"), odd.find("</Width>") - odd.find("<Width>"), "<Width>1921");
    EXPECT_TRUE(readsNothing(odd)) << "a size not offered";
    EXPECT_TRUE(readsNothing("<?xml version=\"1.0\"?><Kelvane><Video><Width>3840</Width></Video>"));
    EXPECT_TRUE(readsNothing("not xml at all"));
    platform::RemoveFile(path);
    ProjectSettings read;
    EXPECT_FALSE(ReadVideoFormatSetting(read, path));
}

// The editor's workspace, the snapshot folder and keep-ratio come back as
// written; values out of range, damaged or of unknown shape give the
// defaults, and a frame left on a screen that is gone is put on one shown.
TEST(SettingsFile, TheWorkspaceComesBackAndBadValuesGiveTheDefaults)
{
    TempDir dir;
    const std::wstring path = dir.wfile("Setting.xml");
    EditorWorkspace left;
    left.hasGeometry = true;
    left.geometry = QRect(40, 30, 1280, 800);
    left.maximised = false;
    left.splitterOffset = -60;
    left.page = 2;
    left.guides = {true, false, true, true, 50};
    left.zoomPercent = 400;
    ProjectSettings written;
    written.LastCapturePath = L"/tmp/shots ü";
    written.KeepRatio = 1;
    WorkspaceToSettings(left, written);
    ASSERT_TRUE(WriteSettingsFile(written, path));

    ProjectSettings read;
    ASSERT_TRUE(ReadWorkspaceSetting(read, path));
    EXPECT_EQ(read.LastCapturePath, written.LastCapturePath);
    EXPECT_EQ(read.KeepRatio, 1);
    const EditorWorkspace found = WorkspaceFromSettings(read);
    EXPECT_TRUE(found.hasGeometry);
    EXPECT_EQ(found.geometry, left.geometry);
    EXPECT_FALSE(found.maximised);
    EXPECT_EQ(found.splitterOffset, -60);
    EXPECT_EQ(found.page, 2);
    EXPECT_EQ(found.guides, left.guides);
    EXPECT_EQ(found.zoomPercent, 400);

    std::string odd = ReadFileBytes(dir.file("Setting.xml"));
    const auto replace = [&](const std::string& from, const std::string& to) {
        const size_t at = odd.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        odd.replace(at, from.size(), to);
    };
    replace("<Page>2</Page>", "<Page>7</Page>");
    replace("<Zoom>400</Zoom>", "<Zoom>4x</Zoom>");
    replace("<Window>40,30,1280,800</Window>", "<Window>40,30,-5,800</Window>");
    replace("<GridSpacing>50</GridSpacing>", "<GridSpacing>1</GridSpacing><Bad-Name>1</Bad-Name>");
    WriteFileBytes(dir.file("Setting.xml"), odd);
    ProjectSettings damaged;
    ASSERT_TRUE(ReadWorkspaceSetting(damaged, path));
    const EditorWorkspace defaults;
    const EditorWorkspace fallen = WorkspaceFromSettings(damaged);
    EXPECT_EQ(fallen.page, defaults.page);
    EXPECT_EQ(fallen.zoomPercent, defaults.zoomPercent);
    EXPECT_FALSE(fallen.hasGeometry);
    EXPECT_EQ(fallen.guides.gridSpacing, defaults.guides.gridSpacing);
    EXPECT_TRUE(fallen.guides.titleSafe) << "the values that read stay";
    for (const auto& [name, value] : damaged.Workspace)
        EXPECT_NE(name, L"Bad-Name");

    platform::RemoveFile(path);
    ProjectSettings none;
    none.Workspace = {{L"Page", L"1"}};
    EXPECT_FALSE(ReadWorkspaceSetting(none, path));
    EXPECT_TRUE(none.Workspace.empty()) << "without the file the editor starts afresh";

    const std::vector<QRect> screens = {QRect(0, 0, 1920, 1080)};
    EXPECT_EQ(OnVisibleScreen(QRect(100, 100, 800, 600), screens), QRect(100, 100, 800, 600));
    const QRect moved = OnVisibleScreen(QRect(2500, 100, 2400, 600), screens);
    EXPECT_TRUE(screens.front().contains(moved)) << "a frame on a screen that is gone comes back";
    EXPECT_EQ(moved.size(), QSize(1920, 600));
}

TEST(RecentList, SameFolderInOtherCaseLeavesOneEntryAtTheEndSpelledAsTheLastSave)
{
    FreshUserFolders folders;
    CRecentSetList list;
    list.LoadRecentList();
    list.TouchRecentEntry(L"D:/Sets/A", 100);
    list.TouchRecentEntry(L"D:/Sets/B", 200);
    ASSERT_TRUE(list.WriteRecentList());
    list.TouchRecentEntry(L"d:/sets/a", 300);
    ASSERT_TRUE(list.WriteRecentList());

    CRecentSetList again;
    ASSERT_TRUE(again.LoadRecentList());
    ASSERT_EQ(again.Entries().size(), 2u);
    EXPECT_EQ(again.Entries()[0].path, L"D:/Sets/B");
    EXPECT_EQ(again.Entries()[1].path, L"d:/sets/a");
    EXPECT_EQ(again.Entries()[1].time, 300);
    EXPECT_EQ(again.FindInRecentList(L"D:/SETS/A"), 1);
    EXPECT_EQ(again.FindInRecentList(L"D:/Sets/C"), -1);
    EXPECT_EQ(ReadFileBytes(UserFile(folders, "workspace.xml")),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Workspaces>\r\n"
              "<Item Path=\"D:/Sets/B\" Time=\"200\"/>\r\n<Item Path=\"d:/sets/a\" Time=\"300\"/>\r\n"
              "</Workspaces>\r\n");
}

TEST(RecentList, CaseInsensitiveFindCoversLettersBeyondAscii)
{
    // The program applies the user's locale at start; letters beyond ASCII
    // fold with a UTF-8 locale in force.
    setenv("LC_ALL", "C.UTF-8", 1);
    platform::LocaleCharset();
    TempDir dir;
    CRecentSetList list(dir.wfile("workspace.xml"));
    list.LoadRecentList();
    list.TouchRecentEntry(L"/sets/\u00C9T\u00C9", 1);
    EXPECT_EQ(list.FindInRecentList(L"/SETS/\u00E9t\u00E9"), 0);
}

TEST(RecentList, EveryEntryOfALongListIsWrittenBack)
{
    TempDir dir;
    CRecentSetList list(dir.wfile("workspace.xml"));
    list.LoadRecentList();
    for (int i = 0; i < 2000; ++i)
        list.TouchRecentEntry(L"/sets/" + std::to_wstring(i) + L" & \"x\"", 1000 + i);
    ASSERT_TRUE(list.WriteRecentList());
    CRecentSetList again(dir.wfile("workspace.xml"));
    ASSERT_TRUE(again.LoadRecentList());
    ASSERT_EQ(again.Entries().size(), 2000u);
    EXPECT_EQ(again.Entries()[1999].path, L"/sets/1999 & \"x\"");
    EXPECT_EQ(again.Entries()[1999].time, 2999);
}

TEST(RecentList, ItemsWithoutPathAreSkippedAndMissingTimeIsZero)
{
    TempDir dir;
    WriteFileBytes(dir.file("workspace.xml"),
                   "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Workspaces>\r\n<Item Time=\"5\"/>\r\n"
                   "<Item Path=\"/a\"/>\r\n<Other Path=\"/x\"/>\r\n<Item Path=\"\" Time=\"7\"/>\r\n"
                   "<Item Path=\"/b\" Time=\"12abc\"/>\r\n<Item Path=\"/c\" Time=\"5000000000\"/>\r\n</Workspaces>\r\n");
    CRecentSetList list(dir.wfile("workspace.xml"));
    ASSERT_TRUE(list.LoadRecentList());
    ASSERT_EQ(list.Entries().size(), 3u);
    EXPECT_EQ(list.Entries()[0].path, L"/a");
    EXPECT_EQ(list.Entries()[0].time, 0);
    EXPECT_EQ(list.Entries()[1].time, 12);
    EXPECT_EQ(list.Entries()[2].time, 5000000000);
}

TEST(RecentList, TimesPast32BitsSurviveTheFile)
{
    TempDir dir;
    CRecentSetList list(dir.wfile("workspace.xml"));
    list.LoadRecentList();
    list.TouchRecentEntry(L"/later", 5000000000);
    ASSERT_TRUE(list.WriteRecentList());
    CRecentSetList again(dir.wfile("workspace.xml"));
    again.LoadRecentList();
    ASSERT_EQ(again.Entries().size(), 1u);
    EXPECT_EQ(again.Entries()[0].time, 5000000000);
}

TEST(RecentList, MissingFileOrRootGivesAnEmptyList)
{
    TempDir dir;
    CRecentSetList list(dir.wfile("workspace.xml"));
    EXPECT_FALSE(list.LoadRecentList());
    EXPECT_TRUE(list.Entries().empty());
    WriteFileBytes(dir.file("workspace.xml"), "<Other><Item Path=\"/a\"/></Other>");
    EXPECT_FALSE(list.LoadRecentList());
    EXPECT_TRUE(list.Entries().empty());
}

TEST(RecentList, MalformedFileGivesAnEmptyListAndStaysUntilTheNextTouch)
{
    TempDir dir;
    const std::string broken = "<Workspaces><Item Path=\"/a\" Time=\"1\"/>";  // never closed
    WriteFileBytes(dir.file("workspace.xml"), broken);
    CRecentSetList list(dir.wfile("workspace.xml"));
    EXPECT_FALSE(list.LoadRecentList());
    EXPECT_TRUE(list.Entries().empty());
    EXPECT_EQ(ReadFileBytes(dir.file("workspace.xml")), broken);

    list.TouchRecentEntry(L"/b", 2);
    ASSERT_TRUE(list.WriteRecentList());
    CRecentSetList again(dir.wfile("workspace.xml"));
    ASSERT_TRUE(again.LoadRecentList());
    ASSERT_EQ(again.Entries().size(), 1u);
    EXPECT_EQ(again.Entries()[0].path, L"/b");
}

TEST(RecentList, TouchBeforeLoadKeepsTheEntriesAlreadyInTheFile)
{
    TempDir dir;
    {
        CRecentSetList first(dir.wfile("workspace.xml"));
        first.LoadRecentList();
        first.TouchRecentEntry(L"/a", 1);
        ASSERT_TRUE(first.WriteRecentList());
    }
    CRecentSetList list(dir.wfile("workspace.xml"));
    EXPECT_FALSE(list.WriteRecentList()) << "a list never read is not written over the file";
    list.TouchRecentEntry(L"/b", 2);
    ASSERT_TRUE(list.WriteRecentList());
    CRecentSetList again(dir.wfile("workspace.xml"));
    again.LoadRecentList();
    ASSERT_EQ(again.Entries().size(), 2u);
    EXPECT_EQ(again.Entries()[0].path, L"/a");
}

TEST(RecentList, RemovedEntryIsGoneAfterTheWrite)
{
    TempDir dir;
    CRecentSetList list(dir.wfile("workspace.xml"));
    list.LoadRecentList();
    list.TouchRecentEntry(L"/a", 1);
    list.TouchRecentEntry(L"/b", 2);
    EXPECT_FALSE(list.RemoveRecentEntry(2));
    ASSERT_TRUE(list.RemoveRecentEntry(0));
    ASSERT_TRUE(list.WriteRecentList());
    CRecentSetList again(dir.wfile("workspace.xml"));
    again.LoadRecentList();
    ASSERT_EQ(again.Entries().size(), 1u);
    EXPECT_EQ(again.Entries()[0].path, L"/b");
}

TEST(RecentList, FailedWriteLeavesTheOldFileWhole)
{
    TempDir dir;
    CRecentSetList list(dir.wfile("workspace.xml"));
    list.LoadRecentList();
    list.TouchRecentEntry(L"/a", 1);
    ASSERT_TRUE(list.WriteRecentList());
    const std::string before = ReadFileBytes(dir.file("workspace.xml"));
    // A folder in the file's place makes the final rename fail.
    CRecentSetList blocked(dir.wfile("blocked.xml"));
    platform::CreateFolder(dir.wfile("blocked.xml"));
    platform::CreateFolder(dir.wfile("blocked.xml/inner"));
    blocked.LoadRecentList();
    blocked.TouchRecentEntry(L"/x", 1);
    EXPECT_FALSE(blocked.WriteRecentList());
    EXPECT_EQ(ReadFileBytes(dir.file("workspace.xml")), before);
    EXPECT_EQ(platform::ListFolder(dir.wpath()).size(), 2u) << "no temporary file left behind";
}

// A file chooser opens where the chooser of its name last ended, as long as
// that folder is there; the folders come back from Setting.xml.
TEST(SettingsFile, ChoosersStartWhereTheyLastEndedAcrossARestart)
{
    TempDir dir;
    const std::wstring pictures = dir.wfile("pictures ü");
    ASSERT_TRUE(platform::CreateFolder(pictures));
    const ProjectSettings saved = g_settings;
    std::vector<std::wstring> offered;
    SetFileChooser([&](QWidget*, const FileDialogRequest& request) {
        offered.push_back(request.initialFolder);
        return pictures + L"/chosen.psd";
    });
    FileDialogRequest request;
    request.folderKey = L"OpenPsd";
    EXPECT_EQ(ChooseFile(nullptr, request), pictures + L"/chosen.psd");
    EXPECT_EQ(ChooseFile(nullptr, request), pictures + L"/chosen.psd");
    FileDialogRequest named = request;
    named.initialFolder = dir.wpath();
    ChooseFile(nullptr, named);
    FileDialogRequest other;
    other.folderKey = L"Media";
    ChooseFile(nullptr, other);
    SetFileChooser(nullptr);
    ASSERT_EQ(offered.size(), 4u);
    EXPECT_EQ(offered[0], L"") << "nothing remembered yet";
    EXPECT_EQ(offered[1], pictures);
    EXPECT_EQ(offered[2], dir.wpath()) << "a folder the request names comes first";
    EXPECT_EQ(offered[3], L"") << "each chooser keeps its own folder";

    const std::wstring path = dir.wfile("Setting.xml");
    ASSERT_TRUE(WriteSettingsFile(g_settings, path));
    ProjectSettings read;
    ASSERT_TRUE(ReadWorkspaceSetting(read, path));
    EXPECT_EQ(ChooserFolder(read, L"OpenPsd"), pictures);
    EXPECT_EQ(ChooserFolder(read, L"Media"), pictures);
    SetChooserFolder(read, L"Bad-Name", pictures);
    SetChooserFolder(read, L"Lines", L"/a\nb");
    EXPECT_EQ(ChooserFolder(read, L"Bad-Name"), L"");
    EXPECT_EQ(ChooserFolder(read, L"Lines"), L"");

    // A remembered folder that is gone is not offered.
    ASSERT_TRUE(platform::RemoveFolderTree(pictures));
    SetFileChooser([&](QWidget*, const FileDialogRequest& r) {
        offered.push_back(r.initialFolder);
        return std::wstring();
    });
    ChooseFile(nullptr, request);
    SetFileChooser(nullptr);
    EXPECT_EQ(offered.back(), L"");
    g_settings = saved;
}
