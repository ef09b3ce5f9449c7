// Dialogs and menus translating themselves through their control ids.
#include "LangTestSupport.h"

#include "lumora/ControlId.h"
#include "platform/IniFile.h"
#include "platform/TextConv.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <gtest/gtest.h>

using langtest::LangRoot;
using lumora::SetControlId;

namespace {

QApplication* g_application = nullptr;

// The application goes when the tests end, inside main: left to the static
// destructors, Qt's font caches would outlive the storage that frees them.
class ApplicationEnvironment : public ::testing::Environment {
public:
    void TearDown() override
    {
        delete g_application;
        g_application = nullptr;
    }
};
::testing::Environment* const g_applicationEnvironment =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

QApplication& App()
{
    static int argc = 1;
    static char name[] = "lumora_tests";
    static char* argv[] = {name, nullptr};
    if (!g_application) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        g_application = new QApplication(argc, argv);
    }
    return *g_application;
}

template <class Widget>
Widget* Control(QWidget* parent, int id, const QString& text)
{
    auto* widget = new Widget(text, parent);
    SetControlId(widget, id);
    return widget;
}

// The General page's template with its default captions, as the program
// builds it.
struct GeneralPage {
    QDialog dialog;
    QLabel* file;
    QLabel* name;
    QLabel* thumbnail;
    QLineEdit* path;
    QPushButton* choose;

    GeneralPage()
    {
        lumora::SetTemplateId(&dialog, 393);
        dialog.setWindowTitle("常规");
        file = Control<QLabel>(&dialog, 1105, "文件");
        name = Control<QLabel>(&dialog, 1103, "名称");
        auto* frame = new QWidget(&dialog);  // a plain container without an id
        thumbnail = Control<QLabel>(frame, 1104, "缩略图");
        path = Control<QLineEdit>(&dialog, 1607, "/sets/a.jpg");
        choose = Control<QPushButton>(&dialog, 1099, "..");
    }
};

std::wstring Text(const QString& text) { return text.toStdWString(); }

}  // namespace

TEST(LangDialog, ControlsTakeTheirTranslationAndAnAbsentKeyKeepsTheResourceText)
{
    App();
    LangRoot root;
    root.writeLanguage("English", u"[Dialog]\r\nIDD393_Title=General\r\nIDD393_1105=File\r\nidd393_1103=Name\r\n"
                                  u"IDD393_1099=\r\nIDD393_1607=/other\r\n");
    Lang::SetCurLanguage(L"English");
    GeneralPage page;
    Lang::LoadDialogLangStrings(&page.dialog, 393);
    EXPECT_EQ(Text(page.dialog.windowTitle()), L"General");
    EXPECT_EQ(Text(page.file->text()), L"File");
    EXPECT_EQ(Text(page.name->text()), L"Name");
    EXPECT_EQ(Text(page.thumbnail->text()), L"缩略图");  // no key for 1104
    EXPECT_EQ(Text(page.choose->text()), L"..");        // an empty value is no translation
    EXPECT_EQ(Text(page.path->text()), L"/other");      // any class takes its text
}

TEST(LangDialog, WithoutLanguageFileNothingChanges)
{
    App();
    LangRoot root;
    GeneralPage page;
    Lang::LoadDialogLangStrings(&page.dialog, 393);
    EXPECT_EQ(Text(page.dialog.windowTitle()), L"常规");
    EXPECT_EQ(Text(page.file->text()), L"文件");
}

TEST(LangDialog, NestedDialogsTranslateThemselves)
{
    App();
    LangRoot root;
    root.writeLanguage("English", u"[Dialog]\r\nIDD392_1603=New\r\nIDD392_1105=Wrong\r\nIDD393_1105=File\r\n");
    Lang::SetCurLanguage(L"English");
    QDialog main;
    lumora::SetTemplateId(&main, 392);
    auto* newButton = Control<QPushButton>(&main, 1603, "新建");
    auto* panel = new QWidget(&main);
    lumora::SetTemplateId(panel, 393);
    auto* fileLabel = Control<QLabel>(panel, 1105, "文件");
    Lang::LoadDialogLangStrings(&main, 392);
    EXPECT_EQ(Text(newButton->text()), L"New");
    EXPECT_EQ(Text(fileLabel->text()), L"文件");
    EXPECT_EQ(lumora::FindControl(&main, 1603), newButton);
    EXPECT_EQ(lumora::FindControl(&main, 1105), nullptr);
    Lang::LoadDialogLangStrings(panel, 393);
    EXPECT_EQ(Text(fileLabel->text()), L"File");
}

TEST(LangDialog, SaveModeWritesCaptionButtonsAndStaticsOnly)
{
    App();
    LangRoot root;
    Lang::SetCurLanguage(L"简体中文");
    Lang::SetSaveFlag(1);
    GeneralPage page;
    auto* group = new QGroupBox("基本信息", &page.dialog);
    SetControlId(group, 1091);
    auto* check = Control<QCheckBox>(&page.dialog, 1116, "可替换");
    (void)check;
    Lang::LoadDialogLangStrings(&page.dialog, 393);
    const std::wstring file = platform::Utf8ToWide(root.languageFile("简体中文"));
    EXPECT_EQ(platform::ReadProfileKeyNames(file, L"Dialog"),
              (std::vector<std::wstring>{L"IDD393_Title", L"IDD393_1105", L"IDD393_1103", L"IDD393_1104",
                                         L"IDD393_1099", L"IDD393_1091", L"IDD393_1116"}));
    EXPECT_EQ(platform::ReadProfileString(file, L"Dialog", L"IDD393_1104", L"", 999), L"缩略图");
    EXPECT_EQ(platform::ReadProfileString(file, L"Dialog", L"IDD393_1091", L"", 999), L"基本信息");
    EXPECT_EQ(Text(page.file->text()), L"文件");
}

namespace {

// Menu resource 128 as the program loads it: one pop-up holding the items.
struct FrameMenu {
    QMenuBar bar;
    QMenu* popup;
    QAction* home;
    QAction* update;
    QMenu* language;
    QAction* about;

    FrameMenu()
    {
        popup = bar.addMenu("menu");
        home = popup->addAction("软件主页");
        SetControlId(home, 32874);
        popup->addSeparator();
        update = popup->addAction("检查更新");
        SetControlId(update, 32877);
        language = popup->addMenu("语言");
        about = popup->addAction("关于");
        SetControlId(about, 32816);
    }
};

}  // namespace

TEST(LangMenu, ItemsOfTheFirstSubMenuAreTranslatedByCommandId)
{
    App();
    LangRoot root;
    root.writeLanguage("English", u"[Menu]\r\nID128_32874=Software Home Page\r\nID128_32816=About\r\n"
                                  u"ID128_4294967295=Language\r\nID128_0=Separator?\r\n");
    Lang::SetCurLanguage(L"English");
    FrameMenu menu;
    Lang::LoadMenuLangStrings(&menu.bar, 128);
    EXPECT_EQ(Text(menu.home->text()), L"Software Home Page");
    EXPECT_EQ(Text(menu.update->text()), L"检查更新");  // absent: keeps its text
    EXPECT_EQ(Text(menu.language->title()), L"Language");
    EXPECT_EQ(Text(menu.about->text()), L"About");
    EXPECT_EQ(menu.popup->actions().size(), 5);
    EXPECT_TRUE(menu.popup->actions()[1]->isSeparator());
    EXPECT_TRUE(menu.popup->actions()[1]->text().isEmpty());
    EXPECT_EQ(lumora::GetControlId(menu.about), 32816);  // the id stays
}

TEST(LangMenu, SaveModeWritesEveryItemButSeparators)
{
    App();
    LangRoot root;
    Lang::SetCurLanguage(L"简体中文");
    Lang::SetSaveFlag(1);
    FrameMenu menu;
    Lang::LoadMenuLangStrings(&menu.bar, 128);
    const std::wstring file = platform::Utf8ToWide(root.languageFile("简体中文"));
    EXPECT_EQ(platform::ReadProfileKeyNames(file, L"Menu"),
              (std::vector<std::wstring>{L"ID128_32874", L"ID128_32877", L"ID128_4294967295", L"ID128_32816"}));
    EXPECT_EQ(platform::ReadProfileString(file, L"Menu", L"ID128_32816", L"", 999), L"关于");
}
