#include "ui/toolkit/control_table.h"

#include <commctrl.h>

#include "ui/toolkit/error_report.h"

void CommandRoutes::On(int id, WORD code, std::function<void()> action) {
    routes_.push_back({id, code, std::move(action)});
}

bool CommandRoutes::Dispatch(int id, WORD code) const {
    for (const Route& route : routes_)
        if (route.id == id && route.code == code) {
            RunGuarded([&route] { route.action(); });
            return true;
        }
    return false;
}

namespace {

LRESULT CALLBACK HandlerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                             DWORD_PTR data) {
    auto* handler = reinterpret_cast<ControlHandler*>(data);
    bool handled = false;
    LRESULT result = 0;
    RunGuarded([&] { handled = (*handler)(hwnd, message, wParam, lParam, result); });
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, HandlerProc, 1);
        delete handler;
    }
    return handled ? result : DefSubclassProc(hwnd, message, wParam, lParam);
}

} // namespace

bool SubclassControl(HWND control, ControlHandler handler) {
    auto* owned = new ControlHandler(std::move(handler));
    if (SetWindowSubclass(control, HandlerProc, 1, reinterpret_cast<DWORD_PTR>(owned)))
        return true;
    delete owned;
    return false;
}
