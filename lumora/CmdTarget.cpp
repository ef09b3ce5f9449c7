#include "CmdTarget.h"

#include "lumora/ControlId.h"

#include <QWidget>

CCmdTarget::~CCmdTarget() = default;

bool CCmdTarget::OnCommand(WPARAM, LPARAM) { return false; }

bool CCmdTarget::OnNotify(WPARAM, LPARAM, LRESULT*) { return false; }

LRESULT CCmdTarget::WindowProc(unsigned message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND)
        return OnCommand(wParam, lParam) ? 1 : 0;
    if (message == WM_NOTIFY) {
        LRESULT result = 0;
        OnNotify(wParam, lParam, &result);
        return result;
    }
    return 0;
}

namespace lumora {

CCmdTarget* OwnerTarget(const QWidget* control)
{
    for (QWidget* w = control ? control->parentWidget() : nullptr; w; w = w->parentWidget()) {
        if (auto* target = dynamic_cast<CCmdTarget*>(w))
            return target;
    }
    return nullptr;
}

bool SendCommandToOwner(QWidget* control, unsigned code)
{
    CCmdTarget* target = OwnerTarget(control);
    if (!target)
        return false;
    const unsigned id = static_cast<unsigned>(GetControlId(control).value_or(0));
    return target->WindowProc(WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control)) != 0;
}

LRESULT SendNotifyToOwner(QWidget* control, NMHDR& header)
{
    header.hwndFrom = control;
    header.idFrom = static_cast<uintptr_t>(GetControlId(control).value_or(0));
    CCmdTarget* target = OwnerTarget(control);
    if (!target)
        return 0;
    return target->WindowProc(WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

}  // namespace lumora
