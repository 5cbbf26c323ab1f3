// The list view of found files, in owner-data mode: it keeps no texts of its own, each
// request for a cell has its text made from the found-file list then, and the view catches
// up with the list's row count a few times a second while an operation adds rows.
#pragma once
#include <cstddef>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "list/found_list.h"

class FoundListView {
  public:
    FoundListView(const FoundList& found, const RegionalFormats& formats)
        : found_(found), formats_(formats) {}
    void Attach(HWND list) { list_ = list; }

    // Rows were added, or the list was cleared.
    void Changed() { changed_ = true; }
    bool HasChanges() const { return changed_; }
    // Shows the rows as the list holds them now.
    void ShowRows();
    // Shows them when a change waits and the last catching up is old enough.
    void CatchUp(DWORD now);
    // Answers a display request (the A or the W form); false for any other notification.
    // A text that cannot be made for lack of memory is shown empty: no box may open from
    // inside a paint.
    bool OnDisplayInfo(NMHDR* header);
    // True the first time a text of this list could not be made for lack of memory.
    bool TakeShortage() {
        const bool first = shortage_ && !told_;
        told_ = told_ || shortage_;
        return first;
    }

  private:
    // The text of the cell an item asks for, or null when it asks for none that exists.
    template <typename Item> const char* Requested(const Item& item);

    const FoundList& found_;
    const RegionalFormats& formats_;
    std::string text_; // the last text made
    bool shortage_ = false;
    bool told_ = false; // the shortage was told since the list was last empty
    HWND list_ = nullptr;
    size_t shownRows_ = 0; // the row count the view was last given
    bool changed_ = false; // rows were added since
    DWORD lastRefresh_ = 0;
};
