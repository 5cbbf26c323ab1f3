// A window's controls described as one table, a row each: what the control is, where it
// stands at 96 dots per inch, its glyph and hint, whether it works while the window is busy
// and idle, and what a click on it does. Clicks and a control's own messages reach their
// callbacks through typed routes here, never through a switch on control ids.
#pragma once
#include <functional>
#include <vector>

#include <windows.h>

#include "ui/toolkit/child_controls.h"
#include "ui/toolkit/glyphs.h"

enum class Enabled { No, Yes, Unchanged };

template <typename Owner> struct ControlRow {
    int id;
    const char* className;
    const char* text;
    DWORD style;
    DWORD exStyle;
    Box box; // zero width: placed by the window itself
    int anchors;
    Fit fit;
    int glyph;          // bitmap resource; 0 for none
    int glyphAlignment; // BUTTON_IMAGELIST_ALIGN_*
    const char* hint;   // null for none
    Enabled busy, idle;
    void (Owner::*click)(); // null for none
};

// Creates the row's control (creation order is the tab order).
template <typename Owner> HWND CreateControl(HWND parent, const ControlRow<Owner>& row) {
    return AddChildControl(parent, row.id, row.className, row.text, row.style, row.exStyle);
}

// The places of the rows the layout moves.
template <typename Owner, size_t N>
std::vector<ControlPlace> PlacesOf(const ControlRow<Owner> (&rows)[N]) {
    std::vector<ControlPlace> places;
    for (const ControlRow<Owner>& row : rows)
        if (row.box.width > 0)
            places.push_back({row.id, row.box, row.anchors, row.fit});
    return places;
}

// Enables each row's control as the busy or the idle state has it.
template <typename Owner, size_t N>
void ApplyEnabled(HWND parent, const ControlRow<Owner> (&rows)[N], bool busy) {
    for (const ControlRow<Owner>& row : rows) {
        const Enabled enabled = busy ? row.busy : row.idle;
        if (enabled != Enabled::Unchanged)
            EnableWindow(GetDlgItem(parent, row.id), enabled == Enabled::Yes ? TRUE : FALSE);
    }
}

// Puts each row's glyph on its button, drawn for `scale`.
template <typename Owner, size_t N>
void ApplyGlyphs(HWND parent, const ControlRow<Owner> (&rows)[N], GlyphImages& glyphs,
                 const Scale& scale) {
    for (const ControlRow<Owner>& row : rows)
        if (row.glyph)
            glyphs.Apply(GetDlgItem(parent, row.id), row.glyph, row.glyphAlignment, scale);
}

// WM_COMMAND by control and notification code, each action run inside the guard.
class CommandRoutes {
  public:
    void On(int id, WORD code, std::function<void()> action);
    // True when a route took the command.
    bool Dispatch(int id, WORD code) const;

  private:
    struct Route {
        int id;
        WORD code;
        std::function<void()> action;
    };
    std::vector<Route> routes_;
};

// A control's messages, offered to its handler first: true when the handler took the
// message, its answer in `result`; else the control's own procedure runs.
using ControlHandler = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT& result)>;
// Subclasses `control` for its lifetime; the handler runs inside the guard.
bool SubclassControl(HWND control, ControlHandler handler);
