#include "ui/help/help_view.h"

#include "ui/toolkit/fonts.h"

#include <shellapi.h>
#include <windowsx.h>

namespace {

enum Font { Body, BodyBold, Heading2, Heading4, Mono };
const COLORREF kPage = RGB(0xFF, 0xFF, 0xCC);
const COLORREF kHeadingBand = RGB(51, 51, 255);
const int kMargin = 10;
const int kIconSize = 32;
const int kLineHeight = 17, kHeadingLineHeight = 24;

} // namespace

HelpView::~HelpView() = default;

bool HelpView::Create(HWND parent, int id) {
    return CreateChild("VantrellHelpView", parent, id, WS_VISIBLE | WS_VSCROLL | WS_TABSTOP,
                       WS_EX_CLIENTEDGE, 0, 0, 0, 0);
}

void HelpView::SetDpi(int dpi) {
    s_ = Scale{dpi};
    fonts_[Body].reset(CreateUiFont(s_(14), false, "Tahoma"));
    fonts_[BodyBold].reset(CreateUiFont(s_(14), true, "Tahoma"));
    fonts_[Heading2].reset(CreateUiFont(s_(20), true, "Tahoma"));
    fonts_[Heading4].reset(CreateUiFont(s_(14), true, "Tahoma"));
    fonts_[Mono].reset(CreateUiFont(s_(14), false, "Courier New"));
    const int iconSize = s_(kIconSize);
    icon_ = ProgramIcon(iconSize);
    Layout();
    ScrollTo(scroll_);
}

void HelpView::SetPage(std::vector<HelpBlock> blocks) {
    blocks_ = std::move(blocks);
    Layout();
    ScrollTo(0);
    InvalidateRect(Handle(), nullptr, TRUE);
}

void HelpView::Layout() {
    pieces_.clear();
    bands_.clear();
    RECT client;
    GetClientRect(Handle(), &client);
    const int margin = s_(kMargin);
    const int width = client.right - 2 * margin;
    const WindowDc screen(Handle());
    const HDC dc = screen.get();
    int y = margin;
    for (const HelpBlock& block : blocks_) {
        if (block.kind == HelpBlock::Rule) {
            bands_.push_back(
                {{margin, y + s_(4), margin + width, y + s_(6)}, RGB(128, 128, 128), true});
            y += s_(12);
            continue;
        }
        const bool h2 = block.kind == HelpBlock::Heading2, h4 = block.kind == HelpBlock::Heading4;
        const bool mono = block.kind == HelpBlock::Mono;
        int left = margin + (block.kind == HelpBlock::ListItem ? s_(28) : 0);
        const int top = y;
        if (h2)
            y += s_(5);
        if (h4) {
            bands_.push_back({{margin, y, margin + width, y + s_(2)}, RGB(0x1A, 0x50, 0xB8), true});
            y += s_(6);
        }
        if (block.kind == HelpBlock::ListItem) {
            const SIZE s = Measure(dc, Body, block.marker);
            pieces_.push_back({block.marker,
                               Body,
                               RGB(0, 0, 0),
                               {left - s_(8) - s.cx, y, left - s_(8), y + s.cy},
                               ""});
        }
        int x = left;
        int lineHeight = h2 ? s_(kHeadingLineHeight) : s_(kLineHeight);
        if (block.picture) {
            picture_ = {x, y - (h2 ? s_(4) : 0)};
            x += s_(kIconSize + 4);
            lineHeight = s_(kIconSize);
        }
        for (const HelpRun& run : block.runs) {
            const int font = h2         ? Heading2
                             : h4       ? Heading4
                             : mono     ? Mono
                             : run.bold ? BodyBold
                                        : Body;
            const COLORREF colour = !run.link.empty() ? RGB(0, 0, 255)
                                    : h2              ? RGB(255, 255, 255)
                                    : h4              ? RGB(0, 0, 255)
                                    : mono            ? RGB(0x66, 0, 0)
                                                      : RGB(0, 0, 0);
            // Words stay whole; a line breaks at a blank, or where the page asks for it.
            size_t start = 0;
            while (start < run.text.size()) {
                if (run.text[start] == '\n') {
                    x = left;
                    y += lineHeight;
                    lineHeight = h2 ? s_(kHeadingLineHeight) : s_(kLineHeight);
                    ++start;
                    continue;
                }
                size_t end = run.text.find_first_of(" \n", start);
                end = end == std::string::npos ? run.text.size()
                                               : (run.text[end] == ' ' ? end + 1 : end);
                const std::string word = run.text.substr(start, end - start);
                const SIZE s = Measure(dc, font, word);
                if (x + s.cx > margin + width && x > left && !mono) {
                    x = left;
                    y += lineHeight;
                    lineHeight = h2 ? s_(kHeadingLineHeight) : s_(kLineHeight);
                }
                pieces_.push_back({word, font, colour, {x, y, x + s.cx, y + s.cy}, run.link});
                x += s.cx;
                start = end;
            }
        }
        y += lineHeight;
        if (h2) {
            y += s_(5);
            bands_.push_back({{margin, top, margin + width, y}, kHeadingBand, false});
        }
        y += s_(h2 || h4 ? 8 : block.kind == HelpBlock::ListItem ? 2 : 10);
    }
    contentHeight_ = y + margin;
    SCROLLINFO info{sizeof info,
                    SIF_RANGE | SIF_PAGE,
                    0,
                    contentHeight_,
                    static_cast<UINT>(client.bottom),
                    0,
                    0};
    SetScrollInfo(Handle(), SB_VERT, &info, TRUE);
}

void HelpView::ScrollTo(int position) {
    RECT client;
    GetClientRect(Handle(), &client);
    const int most = contentHeight_ - client.bottom > 0 ? contentHeight_ - client.bottom : 0;
    scroll_ = position < 0 ? 0 : position > most ? most : position;
    SetScrollPos(Handle(), SB_VERT, scroll_, TRUE);
    InvalidateRect(Handle(), nullptr, TRUE);
}

void HelpView::Paint() {
    const Painting paint(Handle());
    const HDC dc = paint.dc();
    RECT client;
    GetClientRect(Handle(), &client);
    const Brush page(CreateSolidBrush(kPage));
    FillRect(dc, &client, page.get());
    for (const Band& band : bands_) {
        RECT r = band.box;
        OffsetRect(&r, 0, -scroll_);
        const Brush brush(CreateSolidBrush(band.colour));
        FillRect(dc, &r, brush.get());
    }
    if (picture_.x >= 0 && icon_.valid())
        DrawIconEx(dc, picture_.x, picture_.y - scroll_, icon_.get(), s_(kIconSize), s_(kIconSize),
                   0, nullptr, DI_NORMAL);
    SetBkMode(dc, TRANSPARENT);
    for (const Piece& piece : pieces_) {
        if (piece.box.bottom - scroll_ < 0 || piece.box.top - scroll_ > client.bottom)
            continue;
        const Selected font(dc, fonts_[piece.font].get());
        SetTextColor(dc, piece.colour);
        TextOutA(dc, piece.box.left, piece.box.top - scroll_, piece.text.c_str(),
                 static_cast<int>(piece.text.size()));
        if (!piece.link.empty()) {
            const int width = s_(1) > 0 ? s_(1) : 1;
            const Pen pen(CreatePen(PS_SOLID, width, piece.colour));
            const Selected penIn(dc, pen.get());
            MoveToEx(dc, piece.box.left, piece.box.bottom - width - scroll_, nullptr);
            LineTo(dc, piece.box.right, piece.box.bottom - width - scroll_);
        }
    }
}

SIZE HelpView::Measure(HDC dc, int font, const std::string& text) const {
    const Selected in(dc, fonts_[font].get());
    SIZE size{0, 0};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

std::string HelpView::LinkAt(int x, int y) const {
    const POINT p = {x, y + scroll_};
    for (const Piece& piece : pieces_)
        if (!piece.link.empty() && PtInRect(&piece.box, p))
            return piece.link;
    return std::string();
}

LRESULT HelpView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    RECT client;
    GetClientRect(Handle(), &client);
    switch (message) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_SIZE:
        Layout();
        ScrollTo(scroll_);
        return 0;
    case WM_VSCROLL: {
        SCROLLINFO info{sizeof info, SIF_TRACKPOS, 0, 0, 0, 0, 0};
        GetScrollInfo(Handle(), SB_VERT, &info);
        const int page = client.bottom;
        switch (LOWORD(wParam)) {
        case SB_LINEUP:
            ScrollTo(scroll_ - s_(kLineHeight));
            break;
        case SB_LINEDOWN:
            ScrollTo(scroll_ + s_(kLineHeight));
            break;
        case SB_PAGEUP:
            ScrollTo(scroll_ - page);
            break;
        case SB_PAGEDOWN:
            ScrollTo(scroll_ + page);
            break;
        case SB_THUMBTRACK:
            ScrollTo(info.nTrackPos);
            break;
        }
        return 0;
    }
    case WM_MOUSEWHEEL:
        ScrollTo(scroll_ - GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * s_(3 * kLineHeight));
        return 0;
    case WM_KEYDOWN:
        switch (wParam) {
        case VK_UP:
            ScrollTo(scroll_ - s_(kLineHeight));
            return 0;
        case VK_DOWN:
            ScrollTo(scroll_ + s_(kLineHeight));
            return 0;
        case VK_PRIOR:
            ScrollTo(scroll_ - client.bottom);
            return 0;
        case VK_NEXT:
            ScrollTo(scroll_ + client.bottom);
            return 0;
        case VK_HOME:
            ScrollTo(0);
            return 0;
        case VK_END:
            ScrollTo(contentHeight_);
            return 0;
        }
        break;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_LBUTTONDOWN:
        SetFocus(Handle());
        return 0;
    case WM_LBUTTONUP: {
        const std::string link = LinkAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        if (!link.empty()) // a separate browser window; the help stays as it is
            ShellExecuteA(Handle(), nullptr, link.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        return 0;
    }
    case WM_SETCURSOR: {
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(Handle(), &p);
        if (!LinkAt(p.x, p.y).empty()) {
            SetCursor(LoadCursor(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    }
    }
    return Window::HandleMessage(message, wParam, lParam);
}
