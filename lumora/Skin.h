#pragma once
// The colour scheme (and two list metrics) that the library's frames and
// controls paint with. Values come from "Skin<n>.ini" in the program's folder,
// with defaults that give the editor's dark grey look; they are loaded once
// when the library is loaded into the process and only read afterwards.
// Colours are Windows colour values, 0x00BBGGRR (see WinColor.h).
#include "lumora/LumoraApi.h"

#include <map>
#include <string>

enum SkinValueIndex {
    COLOR_POPDLGBK = 0,
    COLOR_DLGBK = 1,
    COLOR_SPLITBK = 2,
    COLOR_DLGTEXT_H = 3,
    COLOR_DLGTEXT_L = 4,
    COLOR_LISTBK = 5,
    COLOR_LISTLINE = 6,
    COLOR_LISTTEXT = 7,
    COLOR_DLGBORDER = 8,
    COLOR_EDIT_BORDER1 = 9,
    COLOR_EDIT_BORDER2 = 10,
    COLOR_PB_BC = 11,
    COLOR_PB_FC = 12,
    COLOR_TAB_TEXT_H = 13,
    COLOR_TAB_TEXT_L = 14,
    COLOR_TAB_CURITEM = 15,
    COLOR_TAB_ITEM = 16,
    COLOR_GROUPBOX_BORDER = 17,
    COLOR_GROUPBOX_TEXT = 18,
    COLOR_BUTTON_INSIDE1 = 19,
    COLOR_BUTTON_INSIDE2 = 20,
    COLOR_BUTTON_BORDER = 21,
    COLOR_BUTTON_TEXT = 22,
    COLOR_BUTTON_CB1 = 23,
    COLOR_BUTTON_CB2 = 24,
    COLOR_NOPLAY = 25,
    COLOR_PLAYED = 26,
    COLOR_PLAYING = 27,
    COLOR_NEXT = 28,
    COLOR_SKIPED = 29,
    COLOR_ERROR = 30,
    COLOR_HOLD = 31,
    COLOR_PGM_GAP = 32,
    COLOR_PGM_TRIM = 33,
    LIST_FONT_SIZE = 200,
    LIST_LINE_HEIGHT = 201,
};

class LUMORA_API CSkin {
public:
    // "Current" of section "Skin" in Skin.ini, default 1.
    static int GetCurSkin();
    // Records n in Skin.ini when its skin file exists.
    static bool SetCurSkin(int n);
    // Reads every skin value from the skin file, the default where absent.
    static int LoadSkin(int n);
    // Writes every value to the skin file: colours as "0x%06X", metrics as "%d".
    static int SaveSkin(int n);
    // The loaded value, 0 for an index that is not a skin value.
    static int GetValue(int index);

    // The skin file of skin n, in the program's folder.
    static std::wstring SkinFilePath(int n);
    // What the library does when it is loaded: GetCurSkin, SetCurSkin,
    // LoadSkin and SaveSkin with that number.
    static void LoadAtStart();

    static std::map<int, int> m_mColor;
    static int m_nSkin;
};
