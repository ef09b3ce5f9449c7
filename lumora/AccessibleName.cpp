#include "AccessibleName.h"

#include "lumora/Lang.h"

#include <QWidget>

namespace lumora {

namespace {

// Texts with fewer letters or digits than this are abbreviations or marks.
constexpr int kMeaningfulLetters = 2;

int LetterCount(const QString& text)
{
    int count = 0;
    for (const QChar c : text)
        count += c.isLetterOrNumber() ? 1 : 0;
    return count;
}

}  // namespace

QString AccessibleNameFor(const QString& text, const QString& toolTip)
{
    QString name = text;
    name.remove(QLatin1Char('&'));
    name = name.trimmed();
    // One ideograph is a word of its own; one Latin letter is not.
    const bool oneIdeograph = name.size() == 1 && name.at(0).script() == QChar::Script_Han;
    if (LetterCount(name) < kMeaningfulLetters && !oneIdeograph && !toolTip.trimmed().isEmpty())
        return toolTip.trimmed();
    return name;
}

void UpdateAccessibleName(QWidget* control, const QString& text)
{
    if (!control)
        return;
    const QString name = AccessibleNameFor(text, control->toolTip());
    if (control->accessibleName() != name)
        control->setAccessibleName(name);
}

QString AccessibleText(const wchar_t* key)
{
    const std::wstring text = Lang::LoadLangText(key);
    return QString::fromStdWString(text.empty() ? std::wstring(key) : text);
}

QString AccessibleDescriptionFor(const QWidget* control, const QString& name)
{
    if (!control->accessibleDescription().isEmpty())
        return control->accessibleDescription();
    const QString tip = control->toolTip().trimmed();
    return tip == name ? QString() : tip;
}

}  // namespace lumora
