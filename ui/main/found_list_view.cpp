#include "ui/main/found_list_view.h"

#include <new>

namespace {

// Each new row count repaints the visible rows, which costs far more than adding rows.
const DWORD kListRefreshMs = 200;

} // namespace

void FoundListView::ShowRows() {
    changed_ = false;
    if (found_.Count() == 0)
        shortage_ = told_ = false;
    if (found_.Count() != shownRows_) {
        shownRows_ = found_.Count();
        ListView_SetItemCountEx(list_, static_cast<int>(shownRows_), LVSICF_NOSCROLL);
        return; // a new count repaints every row
    }
    // The same count can hold other rows: a new scan, or rows inserted in sorted order.
    InvalidateRect(list_, nullptr, FALSE);
}

void FoundListView::CatchUp(DWORD now) {
    if (changed_ && now - lastRefresh_ >= kListRefreshMs) {
        lastRefresh_ = now;
        ShowRows();
    }
}

template <typename Item> const char* FoundListView::Requested(const Item& item) {
    const bool exists = item.iItem >= 0 && static_cast<size_t>(item.iItem) < found_.Count() &&
                        item.iSubItem >= 0 && item.iSubItem < FoundList::kColumnCount;
    if (!(item.mask & LVIF_TEXT) || !exists || item.cchTextMax <= 0)
        return nullptr;
    try {
        found_.Text(static_cast<size_t>(item.iItem), item.iSubItem, formats_, text_);
    } catch (const std::bad_alloc&) {
        text_.clear();
        shortage_ = true;
    }
    return text_.c_str();
}

bool FoundListView::OnDisplayInfo(NMHDR* header) {
    if (header->code == LVN_GETDISPINFOA) {
        LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(header)->item;
        if (const char* text = Requested(item))
            lstrcpynA(item.pszText, text, item.cchTextMax);
        return true;
    }
    if (header->code == LVN_GETDISPINFOW) {
        LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
        if (const char* text = Requested(item)) {
            if (!MultiByteToWideChar(CP_ACP, 0, text, -1, item.pszText, item.cchTextMax))
                item.pszText[0] = 0;
            item.pszText[item.cchTextMax - 1] = 0;
        }
        return true;
    }
    return false;
}
