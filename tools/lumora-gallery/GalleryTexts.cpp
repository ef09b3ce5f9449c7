#include "GalleryTexts.h"

#include "lumora/ControlId.h"
#include "lumora/Lang.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>

namespace gallery {

namespace {

struct StringText {
    unsigned id;
    const char* chinese;
    const char* english;
};

const std::vector<StringText>& StringTexts()
{
    static const std::vector<StringText> texts = {
        {1, "名称", "Name"},         {2, "类型", "Kind"},      {3, "通用", "General"},
        {4, "图层", "Layers"},       {5, "镜头", "Shots"},     {6, "背景", "Background"},
        {7, "前景", "Foreground"},   {8, "屏幕", "Screen"},    {9, "拉伸到全屏", "Stretch to full screen"},
        {10, "适合全屏", "Fit to full screen"}, {11, "上移", "Up"}, {12, "下移", "Down"},
        {13, "保持比例", "Keep aspect ratio"}, {14, "截图", "Screenshot"},
    };
    return texts;
}

const StringText* FindString(unsigned id)
{
    for (const StringText& text : StringTexts())
        if (text.id == id)
            return &text;
    return nullptr;
}

std::wstring TableString(unsigned id)
{
    const StringText* text = FindString(id);
    return text ? QString::fromUtf8(text->chinese).toStdWString() : std::wstring();
}

struct MenuText {
    int command;
    const char* chinese;
    const char* english;
};

const MenuText kMenuTexts[] = {{32874, "主页", "Home page"}, {32816, "关于", "About"}};

QByteArray Utf16Le(const QString& text)
{
    QByteArray bytes("\xFF\xFE", 2);
    for (QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() & 0xFF));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    return bytes;
}

QString EnglishFile()
{
    QString ini = QStringLiteral("[String]\r\n");
    for (const StringText& text : StringTexts())
        ini += QStringLiteral("IDS%1=%2\r\n").arg(text.id).arg(QString::fromUtf8(text.english));
    ini += QStringLiteral("[Menu]\r\n");
    for (const MenuText& text : kMenuTexts)
        ini += QStringLiteral("ID%1_%2=%3\r\n").arg(kFrameMenu).arg(text.command).arg(QString::fromUtf8(text.english));
    ini += QStringLiteral("[Dialog]\r\n");
    for (const DialogText& text : DialogTexts()) {
        const QString key = text.control ? QString::number(text.control) : QStringLiteral("Title");
        ini += QStringLiteral("IDD%1_%2=%3\r\n").arg(text.dialog).arg(key).arg(QString::fromUtf8(text.english));
    }
    return ini;
}

void SetText(QWidget* control, const QString& text)
{
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(control))
        group->setTitle(text);
    else if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(text);
}

}  // namespace

const std::vector<DialogText>& DialogTexts()
{
    static const std::vector<DialogText> texts = {
        {kMainDialog, 0, "Lumora 控件库", "Lumora control gallery"},
        {kSidePanel, 101, "图层列表", "Layer list"},
        {kSidePanel, 102, "勾选的图层会显示在预览中", "Checked layers show in the preview"},
        {kControlsPage, 201, "图片按钮", "Picture buttons"},
        {kControlsPage, 202, "文字按钮", "Text buttons"},
        {kControlsPage, 203, "标签", "Labels"},
        {kControlsPage, 204, "对话框框架", "Dialog frames"},
        {kControlsPage, 211, "常规", "Normal"},
        {kControlsPage, 212, "悬停", "Hover"},
        {kControlsPage, 213, "按下", "Pressed"},
        {kControlsPage, 214, "选中", "Checked"},
        {kControlsPage, 215, "禁用", "Disabled"},
        {kControlsPage, 221, "新建", "New"},
        {kControlsPage, 222, "打开", "Open"},
        {kControlsPage, 223, "按下", "Pressed"},
        {kControlsPage, 224, "保存", "Save"},
        {kControlsPage, 231, "普通文字", "Plain text"},
        {kControlsPage, 232, "彩色文字", "Coloured text"},
        {kControlsPage, 234, "禁用文字", "Disabled text"},
        {kAboutDialog, 0, "关于", "About"},
        {kAboutDialog, 401, "Zantrel 虚拟场景编辑器", "Zantrel virtual set editor"},
        {kAboutDialog, 402, "确定", "OK"},
        {kTopBar, 301, "语言", "Language"},
    };
    return texts;
}

QString DefaultText(int dialog, int control)
{
    for (const DialogText& text : DialogTexts())
        if (text.dialog == dialog && text.control == control)
            return QString::fromUtf8(text.chinese);
    return {};
}

QString DefaultMenuText(int command)
{
    for (const MenuText& text : kMenuTexts)
        if (text.command == command)
            return QString::fromUtf8(text.chinese);
    return {};
}

bool InstallLanguages(const QString& root)
{
    Lang::SetStringTableLoader(TableString);
    Lang::SetLangPath(root.toStdWString());
    Lang::SetAppName(L"LumoraGallery");
    const QString folder = root + QStringLiteral("/Language/LumoraGallery");
    if (!QDir().mkpath(folder))
        return false;
    QFile file(folder + QStringLiteral("/English.ini"));
    return file.open(QIODevice::WriteOnly) && file.write(Utf16Le(EnglishFile())) > 0;
}

void TranslateDialog(QWidget* dialog, int templateId)
{
    for (const DialogText& text : DialogTexts()) {
        if (text.dialog != templateId)
            continue;
        if (!text.control)
            dialog->setWindowTitle(QString::fromUtf8(text.chinese));
        else if (QWidget* control = lumora::FindControl(dialog, text.control))
            SetText(control, QString::fromUtf8(text.chinese));
    }
    Lang::LoadDialogLangStrings(dialog, templateId);
}

}  // namespace gallery
