#include "Lang.h"

#include "lumora/ControlId.h"
#include "lumora/DialogControls.h"
#include "lumora/ProgramFolder.h"
#include "platform/FileUtil.h"
#include "platform/IniFile.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>
#include <algorithm>
#include <cstdlib>

std::wstring Lang::m_sLangPath;
std::wstring Lang::m_sAppName;
std::wstring Lang::m_sCurLanguage;
std::wstring Lang::m_sCurLanguagePath;
std::vector<std::wstring> Lang::m_aLanguageList;
int Lang::m_bSave = 0;
Lang::StringTableLoader Lang::s_stringTable = nullptr;

namespace {

constexpr size_t kStringChars = 1999;
constexpr size_t kItemChars = 999;
constexpr wchar_t kEncodingComment[] = L"; Encoding must be UTF-16LE\r\n";

std::wstring ReplaceAll(std::wstring text, std::wstring_view from, std::wstring_view to)
{
    for (size_t at = text.find(from); at != std::wstring::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::wstring LineBreaksFromFile(std::wstring text) { return ReplaceAll(std::move(text), L"##", L"\r\n"); }
std::wstring LineBreaksToFile(std::wstring text) { return ReplaceAll(std::move(text), L"\r\n", L"##"); }

// Windows answers "OEM code page 936" for a Chinese (PRC or Singapore)
// system; here that is the language of the user's locale.
bool SystemUsesChineseCodePage()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (!value || !*value)
            continue;
        std::string locale(value);
        locale = locale.substr(0, locale.find_first_of(".@"));
        return locale == "zh_CN" || locale == "zh_SG" || locale == "zh";
    }
    return false;
}

std::wstring LangIniPath() { return platform::JoinPath(Lang::GetAppRoot(), L"Language/Lang.ini"); }

std::wstring ReadCurrent(const std::wstring& section, const std::wstring& key, size_t maxChars)
{
    if (Lang::m_sCurLanguagePath.empty())
        return {};
    return platform::ReadProfileString(Lang::m_sCurLanguagePath, section, key, L"", maxChars);
}

// Language files are UTF-16LE; one that save mode starts must be, too, or the
// profile functions would make it an 8-bit file.
void WriteCurrent(const std::wstring& section, const std::wstring& key, const std::wstring& value)
{
    const std::wstring& path = Lang::m_sCurLanguagePath;
    if (path.empty())
        return;
    if (!platform::PathExists(path)) {
        platform::CreateFolderTree(platform::FolderPart(path));
        platform::WriteUtf16LeTextFile(path, kEncodingComment);
    }
    platform::WriteProfileString(path, section, key, value);
}

std::wstring Key(const wchar_t* prefix, long long a, const std::wstring& b)
{
    return prefix + std::to_wstring(a) + L"_" + b;
}

// Win32 "Button" and "Static" controls: the ones whose texts save mode writes.
bool IsButtonOrStatic(const QWidget* control)
{
    return qobject_cast<const QAbstractButton*>(control) || qobject_cast<const QGroupBox*>(control) ||
           qobject_cast<const QLabel*>(control);
}

QString ControlText(const QWidget* control)
{
    if (auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->text();
    if (auto* group = qobject_cast<const QGroupBox*>(control))
        return group->title();
    if (auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    if (auto* edit = qobject_cast<const QLineEdit*>(control))
        return edit->text();
    if (auto* edit = qobject_cast<const QTextEdit*>(control))
        return edit->toPlainText();
    if (auto* edit = qobject_cast<const QPlainTextEdit*>(control))
        return edit->toPlainText();
    return {};
}

void SetControlText(QWidget* control, const QString& text)
{
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(control))
        group->setTitle(text);
    else if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(text);
    else if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->setText(text);
    else if (auto* edit = qobject_cast<QTextEdit*>(control))
        edit->setPlainText(text);
    else if (auto* edit = qobject_cast<QPlainTextEdit*>(control))
        edit->setPlainText(text);
}

QMenu* FirstSubMenu(QWidget* menu)
{
    if (!menu)
        return nullptr;
    for (QAction* action : menu->actions()) {
        if (action->menu())
            return action->menu();
    }
    return nullptr;
}

// A sub-menu entry has the command id -1, written as an unsigned number.
std::wstring CommandKeyPart(const QAction* action)
{
    if (action->menu())
        return std::to_wstring(0xFFFFFFFFu);
    const std::optional<int> id = lumora::GetControlId(action);
    return id ? std::to_wstring(*id) : std::wstring();
}

}  // namespace

void Lang::SetStringTableLoader(StringTableLoader loader) { s_stringTable = loader; }

std::wstring Lang::LoadTableString(unsigned id) { return s_stringTable ? s_stringTable(id) : std::wstring(); }

void Lang::SetLangPath(const std::wstring& folder) { m_sLangPath = folder; }

void Lang::SetAppName(const std::wstring& name) { m_sAppName = name; }

std::wstring Lang::GetAppRoot() { return m_sLangPath.empty() ? lumora::ProgramFolder() : m_sLangPath; }

std::wstring Lang::GetLanguageFolder() { return platform::JoinPath(GetAppRoot(), L"Language/" + m_sAppName); }

int Lang::LoadLanguage()
{
    LoadLanguageList();
    GetCurLanguage();
    return 1;
}

std::vector<std::wstring>* Lang::LoadLanguageList()
{
    if (m_sAppName.empty())
        return nullptr;
    const std::wstring folder = GetLanguageFolder();
    platform::CreateFolderTree(folder);  // failures show as an empty list

    m_aLanguageList.clear();
    for (const std::wstring& name : platform::ListFolder(folder)) {
        const std::wstring path = platform::JoinPath(folder, name);
        if (!platform::FileExists(path) || !platform::IniNamesEqual(platform::ExtensionPart(name), L".ini"))
            continue;
        const std::wstring title = platform::StemPart(name);
        if (!platform::IniNamesEqual(title, L"Lang"))
            m_aLanguageList.push_back(title);
    }
    return &m_aLanguageList;
}

std::vector<std::wstring> Lang::SelectableLanguages()
{
    const std::vector<std::wstring>* files = LoadLanguageList();
    std::vector<std::wstring> languages = files ? *files : std::vector<std::wstring>{};
    if (!files)
        return languages;
    // The string table is a language of its own, file or not.
    if (s_stringTable && std::find(languages.begin(), languages.end(), kChineseLanguageName) == languages.end())
        languages.insert(languages.begin(), kChineseLanguageName);
    return languages;
}

std::wstring Lang::GetCurLanguage()
{
    std::wstring name = platform::ReadProfileString(LangIniPath(), L"Setting", L"Language", L"", kItemChars);
    const std::wstring defaultName = SystemUsesChineseCodePage() ? kChineseLanguageName : L"English";
    if (name.empty())
        name = defaultName;
    for (const std::wstring& language : m_aLanguageList) {
        if (language == name) {
            SetCurLanguage(name);
            return name;
        }
    }
    // The string table's language needs no file: its texts come from the
    // table, and nothing is made current for it.
    if (name == kChineseLanguageName && s_stringTable) {
        m_sCurLanguage = name;
        m_sCurLanguagePath.clear();
        return name;
    }
    return defaultName;
}

int Lang::SetCurLanguage(const std::wstring& name)
{
    m_sCurLanguage = name;
    if (m_bSave && name != kChineseLanguageName)
        m_bSave = 0;
    m_sCurLanguagePath = platform::JoinPath(GetLanguageFolder(), name + L".ini");

    // Lang.ini is replaced whole, so it is never missing or half written.
    const std::wstring path = LangIniPath();
    platform::CreateFolderTree(platform::FolderPart(path));
    platform::IniFile file = platform::IniFile::FromText(kEncodingComment, platform::IniEncoding::Utf16LE);
    file.Set(L"Setting", L"Language", name);
    file.Save(path);
    return 1;
}

void Lang::SetSaveFlag(int save) { m_bSave = m_sCurLanguage == kChineseLanguageName ? save : 0; }

std::wstring Lang::LoadLangString(unsigned id)
{
    const std::wstring key = L"IDS" + std::to_wstring(id);
    if (m_bSave) {
        const std::wstring text = LoadTableString(id);
        if (!text.empty())
            WriteCurrent(L"String", key, LineBreaksToFile(text));
        return text;
    }
    std::wstring text = LineBreaksFromFile(ReadCurrent(L"String", key, kStringChars));
    if (text.empty())
        text = LoadTableString(id);
    return text;
}

std::wstring Lang::LoadLangString(const std::wstring& section, const std::wstring& key)
{
    if (m_bSave)
        return {};
    if (m_sCurLanguagePath.empty())
        return key;
    return LineBreaksFromFile(platform::ReadProfileString(m_sCurLanguagePath, section, key, key, kStringChars));
}

std::wstring Lang::LoadLangText(const std::wstring& key) { return LoadLangString(L"Text", key); }

std::wstring Lang::FormatLangStringArgs(unsigned id, std::span<const lumora::FormatArg> values)
{
    std::wstring format = LoadLangString(id);
    // A translation that asks for other values than the program passes would
    // show the wrong values; the program's own text is right by construction.
    const std::wstring own = LoadTableString(id);
    if (!own.empty() && lumora::PrintfConversions(format) != lumora::PrintfConversions(own))
        format = own;
    return lumora::FormatPrintf(format, values);
}

void Lang::LoadDialogLangStrings(QWidget* dialog, int dialogId)
{
    if (!dialog)
        return;
    const std::wstring titleKey = L"IDD" + std::to_wstring(dialogId) + L"_Title";
    const std::vector<QWidget*> controls = lumora::DialogControls(dialog);

    if (m_bSave) {
        const std::wstring caption = dialog->windowTitle().toStdWString();
        if (!caption.empty())
            WriteCurrent(L"Dialog", titleKey, caption);
        for (QWidget* control : controls) {
            const std::wstring text = ControlText(control).toStdWString();
            if (IsButtonOrStatic(control) && !text.empty())
                WriteCurrent(L"Dialog", Key(L"IDD", dialogId, std::to_wstring(*lumora::GetControlId(control))), text);
        }
        return;
    }

    if (m_sCurLanguagePath.empty())
        return;
    // One read of the language file serves the whole dialog.
    const std::optional<platform::IniFile> file = platform::IniFile::Load(m_sCurLanguagePath);
    if (!file)
        return;
    const auto lookup = [&](const std::wstring& key) {
        std::wstring text = file->Get(L"Dialog", key).value_or(L"");
        if (text.size() > kItemChars)
            text.resize(kItemChars);
        return text;
    };
    if (const std::wstring caption = lookup(titleKey); !caption.empty())
        dialog->setWindowTitle(QString::fromStdWString(caption));
    for (QWidget* control : controls) {
        const std::wstring text = lookup(Key(L"IDD", dialogId, std::to_wstring(*lumora::GetControlId(control))));
        if (!text.empty())
            SetControlText(control, QString::fromStdWString(text));
    }
}

void Lang::LoadMenuLangStrings(QWidget* menu, int menuId)
{
    QMenu* items = FirstSubMenu(menu);
    if (!items)
        return;

    if (m_bSave) {
        for (QAction* action : items->actions()) {
            const std::wstring command = CommandKeyPart(action);
            if (action->isSeparator() || command.empty() || action->text().isEmpty())
                continue;
            WriteCurrent(L"Menu", Key(L"ID", menuId, command), action->text().toStdWString());
        }
        return;
    }

    if (m_sCurLanguagePath.empty())
        return;
    const std::optional<platform::IniFile> file = platform::IniFile::Load(m_sCurLanguagePath);
    if (!file)
        return;
    for (QAction* action : items->actions()) {
        const std::wstring command = CommandKeyPart(action);
        if (action->isSeparator() || command.empty())
            continue;
        std::wstring text = file->Get(L"Menu", Key(L"ID", menuId, command)).value_or(L"");
        if (text.size() > kItemChars)
            text.resize(kItemChars);
        if (!text.empty())
            action->setText(QString::fromStdWString(text));
    }
}
