// The list view of found files, in owner-data mode: it keeps no texts of its own, the
// found-file list answers each request for a cell, and the view catches up with the
// list's row count a few times a second while an operation adds rows.
#pragma once
#include <cstddef>

#include <windows.h>
#include <commctrl.h>

#include "scan/found_file_list.h"

class FoundListView {
  public:
    explicit FoundListView(const FoundFileList& rows) : rows_(rows) {}
    void Attach(HWND list) { list_ = list; }

    // Rows were added, or the list was cleared.
    void Changed() { changed_ = true; }
    bool HasChanges() const { return changed_; }
    // Shows the rows as the list holds them now.
    void ShowRows();
    // Shows them when a change waits and the last catching up is old enough.
    void CatchUp(DWORD now);
    // Answers a display request (the A or the W form); false for any other notification.
    bool OnDisplayInfo(NMHDR* header) const;

  private:
    // The text of the cell an item asks for, or null when it asks for none that exists.
    template <typename Item> const char* Requested(const Item& item) const;

    const FoundFileList& rows_;
    HWND list_ = nullptr;
    size_t shownRows_ = 0; // the row count the view was last given
    bool changed_ = false; // rows were added since
    DWORD lastRefresh_ = 0;
};
