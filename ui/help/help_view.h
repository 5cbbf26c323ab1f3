// The help page drawn by the program itself: headings, paragraphs, lists, the command
// examples in a monospace font, and links that open outside the window.
#pragma once
#include <string>
#include <vector>

#include "ui/toolkit/gdi_objects.h"
#include "ui/toolkit/dpi.h"
#include "ui/help/help_page.h"
#include "ui/toolkit/window_base.h"

class HelpView : public Window {
  public:
    HelpView() = default;
    ~HelpView() override;
    // Created without a size: the help window places it and gives it its resolution.
    bool Create(HWND parent, int id);
    // Fonts, the icon and the page's layout for `dpi`.
    void SetDpi(int dpi);
    void SetPage(std::vector<HelpBlock> blocks);
    // The link under a client point, empty when there is none.
    std::string LinkAt(int x, int y) const;
    int ContentHeight() const { return contentHeight_; }
    int ScrollPosition() const { return scroll_; }
    const std::vector<HelpBlock>& Blocks() const { return blocks_; }

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    struct Piece {
        std::string text;
        int font; // index into fonts_
        COLORREF colour;
        RECT box; // in page coordinates
        std::string link;
    };
    struct Band {
        RECT box;
        COLORREF colour;
        bool rule;
    };
    void Layout();
    // The size of `text` in one of the page's fonts.
    SIZE Measure(HDC dc, int font, const std::string& text) const;
    void Paint();
    void ScrollTo(int position);

    std::vector<HelpBlock> blocks_;
    std::vector<Piece> pieces_;
    std::vector<Band> bands_;
    POINT picture_{-1, -1};
    Font fonts_[5];
    Icon icon_;
    Scale s_;
    int contentHeight_ = 0;
    int scroll_ = 0;
};
