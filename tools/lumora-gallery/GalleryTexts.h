#pragma once
// The gallery's own texts, kept the way the editor keeps its texts: Chinese
// defaults in the program (string table, dialog and menu captions) and an
// English language file that overrides them through Lang.
#include <QString>
#include <vector>

class QWidget;

namespace gallery {

// Template ids of the gallery's dialogs and its frame menu.
inline constexpr int kMainDialog = 9000;
inline constexpr int kSidePanel = 9001;
inline constexpr int kControlsPage = 9002;
inline constexpr int kAboutDialog = 9003;
inline constexpr int kTopBar = 9004;
inline constexpr int kFrameMenu = 9100;

struct DialogText {
    int dialog;
    int control;  // 0: the dialog's caption
    const char* chinese;
    const char* english;
};

const std::vector<DialogText>& DialogTexts();
// The default (Chinese) text of a dialog control, empty when there is none.
QString DefaultText(int dialog, int control);
QString DefaultMenuText(int command);
// Registers the string table and writes the English language file into
// root/Language/<app>; Lang then works from root.
bool InstallLanguages(const QString& root);
// Puts the default texts back, then lets Lang translate the dialog.
void TranslateDialog(QWidget* dialog, int templateId);

}  // namespace gallery
