#include "EditorRoad.h"

#include "DesktopSession.h"
#include "Screen.h"
#include "Waiting.h"

#include <QByteArray>
#include <QJsonDocument>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace fs = std::filesystem;

namespace acceptance {

namespace {

// Instrumented builds run a few times slower.
std::chrono::milliseconds Scaled(std::chrono::milliseconds time)
{
#ifdef KELVANE_SANITIZE
    return time * 4;
#else
    return time;
#endif
}

std::string RoadName()
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return info ? std::string(info->test_suite_name()) + "." + info->name() : std::string("road");
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The session ends with the test program, after the last road.
class SessionEnvironment : public ::testing::Environment {
public:
    void TearDown() override { DesktopSession::EndShared(); }
};
[[maybe_unused]] ::testing::Environment* const kSessionEnvironment =
    ::testing::AddGlobalTestEnvironment(new SessionEnvironment);

bool ProcessAlive(pid_t pid)
{
    if (pid <= 0 || kill(pid, 0) != 0)
        return false;
    // A zombie has ended.
    const std::string status = ReadText("/proc/" + std::to_string(pid) + "/stat");
    const size_t close = status.rfind(')');
    return close == std::string::npos || close + 2 >= status.size() || status[close + 2] != 'Z';
}

}  // namespace

void EditorRoad::SetUp()
{
    std::string error;
    m_session = DesktopSession::Shared(error);
    ASSERT_NE(m_session, nullptr) << error;
    m_view = AccessibilityView::Connect(m_session->Display(), m_session->SessionBus(), error);
    ASSERT_NE(m_view, nullptr) << error;
    m_input = std::make_unique<XInput>(m_session->Display());
    ASSERT_TRUE(m_input->Valid()) << "no XTest on " << m_session->Display();
    MakeUserFolders();
}

void EditorRoad::TearDown()
{
    if (HasFailure()) {
        Screenshot("failed");
        std::cerr << "Windows of the editor:\n" << DumpWindows() << "\nEditor log:\n" << EditorLog() << std::endl;
    }
    EndEditors();
    std::error_code ec;
    if (!m_root.empty())
        fs::remove_all(m_root, ec);
}

void EditorRoad::MakeUserFolders()
{
    char pattern[] = "/tmp/kelvane-road-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    m_root = pattern;
    // A fresh account: a home folder with nothing in it yet.
    m_home = m_root + "/home";
    for (const std::string& folder : {m_home, WorkFolder(), CommonFolder()})
        fs::create_directories(folder);
    m_logPath = m_root + "/editor.log";
}

std::string EditorRoad::ShippedSample() { return std::string(KELVANE_BINARY_DIR) + "/bin/samples/Sample Studio"; }

std::string EditorRoad::CopySet(const std::string& parent, const std::string& name, const std::string& from)
{
    const std::string target = parent + "/" + name;
    fs::create_directories(target);
    fs::copy(from, target, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    return target;
}

Environment EditorRoad::EditorEnvironment() const
{
    Environment environment = m_session->BaseEnvironment();
    environment["HOME"] = m_home;
    environment["XDG_DATA_DIRS"] = CommonFolder();
    // Marks the road's editors, the one a restart starts included.
    environment["KELVANE_ACCEPTANCE_ROAD"] = m_root;
    return environment;
}

bool EditorRoad::StartEditor(const std::vector<std::string>& arguments)
{
    ChildOptions options;
    options.argv = {std::string(KELVANE_BINARY_DIR) + "/bin/kelvane"};
    options.argv.insert(options.argv.end(), arguments.begin(), arguments.end());
    options.environment = EditorEnvironment();
    options.logPath = m_logPath;
    options.processGroup = m_session->ProcessGroup();
    m_editor = ChildProcess(options);
    m_editorPid = m_startedPid = m_editor.Pid();
    if (!m_editor.Started()) {
        ADD_FAILURE() << "cannot start kelvane";
        return false;
    }
    // Up when the main window fills the screen (it maximises itself).
    const bool up = WaitUntil(
        [&] {
            const Accessible window = MainWindow();
            return window && window.Extents().width() >= 1900;
        },
        Scaled(40s));
    if (!up)
        ADD_FAILURE() << "the editor's main window did not come up";
    return up;
}

std::vector<pid_t> EditorRoad::EditorsOfThisRoad() const
{
    std::vector<pid_t> editors;
    const std::string marker = "KELVANE_ACCEPTANCE_ROAD=" + m_root;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator("/proc", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const std::string environ = ReadText(entry.path().string() + "/environ");
        size_t at = 0;
        bool marked = false;
        while (at < environ.size() && !marked) {
            const size_t end = environ.find('\0', at);
            marked = environ.compare(at, (end == std::string::npos ? environ.size() : end) - at, marker) == 0;
            at = end == std::string::npos ? environ.size() : end + 1;
        }
        const pid_t pid = static_cast<pid_t>(std::stol(name));
        if (marked && ProcessAlive(pid))
            editors.push_back(pid);
    }
    return editors;
}

bool EditorRoad::AdoptRestartedEditor(std::chrono::milliseconds timeout)
{
    // The program starts its successor through a short-lived helper
    // process, so the successor is the road's editor that shows a window.
    const pid_t old = m_editorPid;
    const bool up = WaitUntil(
        [&] {
            for (pid_t pid : EditorsOfThisRoad()) {
                if (pid == old)
                    continue;
                m_editorPid = pid;
                const Accessible window = MainWindow();
                if (window && window.Extents().width() >= 1900)
                    return true;
            }
            m_editorPid = old;
            return false;
        },
        Scaled(timeout));
    if (!up)
        m_editorPid = old;
    return up;
}

void EditorRoad::EndEditors()
{
    m_editor.Stop();
    for (pid_t pid : EditorsOfThisRoad()) {
        kill(pid, SIGTERM);
        if (!WaitUntil([&] { return !ProcessAlive(pid); }, 3s))
            kill(pid, SIGKILL);
    }
}

std::optional<int> EditorRoad::WaitForEditorExit(std::chrono::milliseconds timeout)
{
    // The road's own child has its exit code, also once a check reaped it.
    if (m_editorPid == m_startedPid)
        return m_editor.WaitForExit(Scaled(timeout));
    if (WaitUntil([&] { return !ProcessAlive(m_editorPid); }, Scaled(timeout)))
        return -1;  // ended; a process the road did not start has no code to read
    return std::nullopt;
}

std::string EditorRoad::EditorLog() const { return ReadText(m_logPath); }

long EditorRoad::LeakCount() const
{
    const std::string log = EditorLog();
    static const std::regex line("Number of memory leaks: (-?[0-9]+)");
    long count = -1;
    for (auto it = std::sregex_iterator(log.begin(), log.end(), line); it != std::sregex_iterator(); ++it)
        count = std::stol((*it)[1].str());
    return count;
}

Accessible EditorRoad::MainWindow()
{
    for (const Accessible& window : m_view->Windows(m_editorPid)) {
        if (window.Name().rfind("Zantrel", 0) == 0 && window.Extents().width() >= 800)
            return window;
    }
    return {};
}

// ---- finding ----

Accessible EditorRoad::Find(const Match& match, std::chrono::milliseconds timeout)
{
    Accessible found;
    WaitUntil(
        [&] {
            for (const Accessible& window : m_view->Windows(m_editorPid)) {
                if ((found = FindFirst(window, match)))
                    return true;
            }
            return false;
        },
        Scaled(timeout));
    return found;
}

Accessible EditorRoad::FindIn(const Accessible& root, const Match& match, std::chrono::milliseconds timeout)
{
    Accessible found;
    WaitUntil([&] { return static_cast<bool>(found = FindFirst(root, match)); }, Scaled(timeout));
    return found;
}

Accessible EditorRoad::FindWindow(const Match& match, std::chrono::milliseconds timeout)
{
    Accessible found;
    WaitUntil(
        [&] {
            for (const Accessible& window : m_view->Windows(m_editorPid)) {
                if (Matches(window, match)) {
                    found = window;
                    return true;
                }
            }
            return false;
        },
        Scaled(timeout));
    return found;
}

Accessible EditorRoad::FindMessageBox(const std::string& textPart, std::chrono::milliseconds timeout)
{
    Accessible found;
    WaitUntil(
        [&] {
            const Accessible main = MainWindow();
            for (const Accessible& window : m_view->Windows(m_editorPid)) {
                if (!(window == main) && FindFirst(window, {"label", textPart, true})) {
                    found = window;
                    return true;
                }
            }
            return false;
        },
        Scaled(timeout));
    return found;
}

bool EditorRoad::WaitGone(const Accessible& object, std::chrono::milliseconds timeout)
{
    return WaitUntil([&] { return !object.Showing(); }, Scaled(timeout));
}

bool EditorRoad::CloseMessageWithEnter(const Accessible& message)
{
    Key("Return");
    if (WaitGone(message, 3s))
        return true;
    Key("Return");
    return WaitGone(message);
}

std::string EditorRoad::DumpWindows()
{
    std::string out;
    if (m_view)
        for (const Accessible& window : m_view->Windows(m_editorPid))
            out += DumpTree(window);
    return out;
}

// ---- acting ----

QRect EditorRoad::PlaceOf(const Accessible& object)
{
    // A window that has just appeared may still be getting its size, and the
    // window manager may still be moving it: the place counts once it has
    // held still for a moment, as a user's eye waits for it.
    QRect place;
    auto since = std::chrono::steady_clock::now();
    WaitUntil(
        [&] {
            const QRect now = object.Extents();
            if (now != place) {
                place = now;
                since = std::chrono::steady_clock::now();
            }
            return !place.isEmpty() && std::chrono::steady_clock::now() - since >= 120ms;
        },
        Scaled(5s));
    return place.translated(StaleWindowOffset(object));
}

// A window the window manager placed may still be where the program put it
// in the program's own (and so the accessibility bus's) view: the X server
// knows where it really is. The difference is added to what is clicked in it.
QPoint EditorRoad::StaleWindowOffset(const Accessible& object)
{
    Accessible window = object;
    for (Accessible parent = window.Parent(); parent && parent.Role() != "application"; parent = parent.Parent())
        window = parent;
    const QRect reported = window.Extents();
    QPoint offset;
    int matches = 0;
    for (const QRect& real : m_input->WindowPlaces(m_editorPid)) {
        if (real.size() == reported.size()) {
            offset = real.topLeft() - reported.topLeft();
            ++matches;
        }
    }
    return matches == 1 ? offset : QPoint();
}

void EditorRoad::Click(const Accessible& object)
{
    // A dialog that has just appeared takes clicks once it is the active
    // window, as a user sees it come to the front before clicking in it.
    const Accessible window = object.Window();
    if (window && window.Role() == "dialog")
        WaitUntil([&] { return window.Active(); }, Scaled(3s));
    const QRect place = PlaceOf(object);
    ASSERT_FALSE(place.isEmpty()) << object.Describe() << " has no place on the screen";
    m_input->Click(place.center());
}

void EditorRoad::DoubleClick(const Accessible& object)
{
    const QRect place = PlaceOf(object);
    ASSERT_FALSE(place.isEmpty()) << object.Describe() << " has no place on the screen";
    m_input->DoubleClick(place.center());
}

void EditorRoad::Key(const std::string& chord) { ASSERT_TRUE(m_input->Key(chord)) << "unknown key " << chord; }

void EditorRoad::Type(const std::string& text) { ASSERT_TRUE(m_input->Type(text)) << "cannot type " << text; }

void EditorRoad::TypeInto(const Accessible& field, const std::string& text)
{
    Click(field);
    WaitUntil([&] { return field.Focused(); }, Scaled(2s));
    Key("ctrl+a");
    Type(text);
    // The field shows what was typed before anything else is pressed.
    WaitUntil([&] { return field.Text() == text; }, Scaled(2s));
}

bool EditorRoad::ChooseMenuItem(const std::string& name)
{
    const Accessible item = Find({"menu item", name});
    if (!item)
        return false;
    // The pointer rests on the item first, as a user's does.
    m_input->MoveTo(item.Center());
    Click(item);
    return true;
}

bool EditorRoad::AnswerChooser(const std::string& path)
{
    Accessible field;
    WaitUntil(
        [&] {
            for (const Accessible& window : m_view->Windows(m_editorPid)) {
                for (const Accessible& text : FindAll(window, {"text", ""})) {
                    if (text.Focused()) {
                        field = text;
                        return true;
                    }
                }
            }
            return false;
        },
        Scaled(10s));
    if (!field)
        return false;
    Key("ctrl+a");
    Type(path);
    Key("Return");
    return true;
}

QPoint EditorRoad::TitleButtonCenter(const Accessible& window, TitleButton button)
{
    constexpr int kBorder = 2, kTitleHeight = 28;
    constexpr int kWidths[4] = {45, 31, 31, 31};
    const QRect frame = PlaceOf(window);
    int right = frame.left() + frame.width() - kBorder;
    for (int i = 0; i < static_cast<int>(button); ++i)
        right -= kWidths[i];
    return QPoint(right - kWidths[static_cast<int>(button)] / 2, frame.top() + kTitleHeight / 2);
}

void EditorRoad::OpenFrameMenu()
{
    const Accessible window = MainWindow();
    ASSERT_TRUE(window) << "no main window";
    m_input->Click(TitleButtonCenter(window, TitleButton::Menu));
}

bool EditorRoad::OpenRecentSet(const std::string& name)
{
    const Accessible entry = Find({"list item", name});
    if (!entry)
        return false;
    DoubleClick(entry);
    return WaitUntil([&] { return MainTitle().find(name) != std::string::npos; }, Scaled(30s));
}

bool EditorRoad::ShowPage(const std::string& name)
{
    // The page list is named after the page it shows.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const Accessible tab = Find({"page tab", name});
        if (!tab)
            return false;
        Click(tab);
        if (WaitUntil([&] { return bool(Find({"page tab list", name}, 0s)); }, Scaled(3s)))
            return true;
    }
    return false;
}

// ---- checking ----

bool EditorRoad::SaveInPlace()
{
    Key("ctrl+s");
    const Accessible saved = Find({"label", "Save Success"}, 20s);
    return saved && CloseMessageWithEnter(saved);
}

QJsonArray EditorRoad::SaveInPlaceAndReadLayers(const std::string& setFolder)
{
    if (!SaveInPlace()) {
        ADD_FAILURE() << "the save did not end with its message" << DumpWindows();
        return {};
    }
    return SetInfo(setFolder)["layers"].toArray();
}

QJsonObject EditorRoad::SetInfo(const std::string& path)
{
    const std::string command = "'" + std::string(KELVANE_BINARY_DIR) + "/bin/kelvane-cli' info '" + path + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return {};
    QByteArray output;
    char buffer[4096];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, static_cast<qsizetype>(n));
    pclose(pipe);
    return QJsonDocument::fromJson(output).object();
}

std::string EditorRoad::Screenshot(const std::string& name)
{
    const std::string folder = std::string(KELVANE_BINARY_DIR) + "/acceptance-shots";
    fs::create_directories(folder);
    ++m_shots;
    const std::string number = (m_shots < 10 ? "0" : "") + std::to_string(m_shots);
    const std::string path = folder + "/" + RoadName() + "-" + number + "-" + name + ".png";
    if (!m_input || !SaveScreen(m_input->Connection(), path))
        ADD_FAILURE() << "cannot write the screenshot " << path;
    return path;
}

}  // namespace acceptance
