#pragma once
// Commands and notifications that controls send to the window they sit in,
// with the message numbers and records of the program's windows. A control
// sends to its nearest ancestor that is a CCmdTarget (the frames are), so a
// control may sit in any container inside a frame.
#include "lumora/LumoraApi.h"
#include "platform/WinTypes.h"
#include "platform/WindowMessage.h"

#include <cstdint>

class QWidget;

inline constexpr unsigned WM_NOTIFY = 0x004E;
inline constexpr unsigned WM_COMMAND = 0x0111;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// Header of every notification: the control, its id and the code.
struct NMHDR {
    QWidget* hwndFrom;
    uintptr_t idFrom;
    unsigned code;
};

// CMySplitWnd was dragged; delta is the signed displacement in pixels.
inline constexpr unsigned NM_SPLITMOVED = WM_USER + 1;  // 1025
struct NMSPLITWND {
    NMHDR hdr;
    int delta;
};

// A list row changed its state; with check boxes the state image is
// 1 (unchecked) or 2 (checked) in LVIS_STATEIMAGEMASK.
inline constexpr unsigned LVN_ITEMCHANGED = 0u - 101u;
inline constexpr unsigned LVIF_STATE = 0x0008;
inline constexpr unsigned LVIS_STATEIMAGEMASK = 0xF000;
constexpr unsigned INDEXTOSTATEIMAGEMASK(unsigned i) { return i << 12; }
struct NMLISTVIEW {
    NMHDR hdr;
    int iItem;
    int iSubItem;
    unsigned uNewState;
    unsigned uOldState;
    unsigned uChanged;
};

// The selected tab of a CMyTabCtrl changed.
inline constexpr unsigned TCN_SELCHANGE = 0u - 551u;

// Notification code of a button click in WM_COMMAND.
inline constexpr unsigned BN_CLICKED = 0;
constexpr WPARAM MAKEWPARAM(unsigned low, unsigned high) { return (low & 0xFFFFu) | ((high & 0xFFFFu) << 16); }
constexpr unsigned LOWORD(WPARAM w) { return static_cast<unsigned>(w & 0xFFFFu); }
constexpr unsigned HIWORD(WPARAM w) { return static_cast<unsigned>((w >> 16) & 0xFFFFu); }

class LUMORA_API CCmdTarget {
public:
    virtual ~CCmdTarget();

    // WM_COMMAND: LOWORD(wParam) the command or control id, HIWORD the
    // notification code, lParam the control (or 0 for menus). True when handled.
    virtual bool OnCommand(WPARAM wParam, LPARAM lParam);
    // WM_NOTIFY: wParam the control id, lParam its NMHDR (or a record that
    // starts with one). True when handled; *result is the answer.
    virtual bool OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Hands WM_COMMAND and WM_NOTIFY to the two above; a window's own message
    // object (CMessageWindow) can forward its messages here.
    virtual LRESULT WindowProc(unsigned message, WPARAM wParam, LPARAM lParam);
};

namespace lumora {

// The nearest ancestor of the widget that is a CCmdTarget, or null.
LUMORA_API CCmdTarget* OwnerTarget(const QWidget* control);
// WM_COMMAND with the control's id and the code to its owner; false when
// there is none or it did not handle it.
LUMORA_API bool SendCommandToOwner(QWidget* control, unsigned code = BN_CLICKED);
// WM_NOTIFY to the control's owner; fills hwndFrom and idFrom first.
LUMORA_API LRESULT SendNotifyToOwner(QWidget* control, NMHDR& header);

}  // namespace lumora
