#include "ResourceTexts.h"

#include "lumora/Lang.h"
#include "platform/IniFile.h"
#include "platform/TextConv.h"

#include <QFile>

namespace {

const platform::IniFile& Texts()
{
    static const platform::IniFile texts = [] {
        QFile file(QStringLiteral(":/kelvane/ResourceTexts.ini"));
        if (!file.open(QIODevice::ReadOnly))
            return platform::IniFile();
        const QByteArray bytes = file.readAll();
        // The resource is UTF-8 whatever the user's locale.
        return platform::IniFile::FromText(platform::Utf8ToWide(std::string_view(bytes.constData(), bytes.size())));
    }();
    return texts;
}

std::wstring WithLineBreaks(std::wstring text)
{
    for (size_t at = text.find(L"##"); at != std::wstring::npos; at = text.find(L"##", at + 2))
        text.replace(at, 2, L"\r\n");
    return text;
}

}  // namespace

std::wstring ResourceTextByKey(const std::wstring& section, const std::wstring& key)
{
    return Texts().Get(section, key).value_or(L"");
}

std::wstring LoadResourceString(unsigned id)
{
    return WithLineBreaks(ResourceTextByKey(L"String", L"IDS" + std::to_wstring(id)));
}

std::wstring ResourceDialogTitle(int dialogId)
{
    return ResourceTextByKey(L"Dialog", L"IDD" + std::to_wstring(dialogId) + L"_Title");
}

std::wstring ResourceDialogText(int dialogId, int controlId)
{
    return ResourceTextByKey(L"Dialog", L"IDD" + std::to_wstring(dialogId) + L"_" + std::to_wstring(controlId));
}

std::wstring ResourceMenuText(int menuId, int commandId)
{
    return ResourceTextByKey(L"Menu", L"ID" + std::to_wstring(menuId) + L"_" + std::to_wstring(commandId));
}

std::vector<std::wstring> ResourceTextKeys(const std::wstring& section) { return Texts().KeyNames(section); }

void RegisterResourceStrings() { Lang::SetStringTableLoader(&LoadResourceString); }
