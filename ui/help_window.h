// TForm2: the help window, showing the help page stored in the executable.
#pragma once
#include <string>

#include "ui/glyphs.h"
#include "ui/help_view.h"
#include "ui/modal_window.h"

enum HelpControlId { IdHelpClose = 4001, IdHelpView };

class TForm2 : public ModalWindow {
  public:
    ~TForm2() override;
    bool Create();
    // "res://" + the running executable's full path + "/HELPHTML".
    static std::string HelpAddress();
    // The page as stored in the executable's resources.
    static std::string HelpPageText();
    HelpView& View() { return WebBrowser1; }

  protected:
    void AfterShow() override; // FormShow: the keyboard goes to the page
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void FormCreate();

    HelpView WebBrowser1;
    GlyphImages glyphs_;
    HFONT font_ = nullptr;
};
