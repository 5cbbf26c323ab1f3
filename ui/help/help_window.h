// TForm2: the help window, showing the help page stored in the executable.
#pragma once
#include <string>

#include "ui/toolkit/gdi_objects.h"
#include "ui/toolkit/browser_control.h"
#include "ui/toolkit/glyphs.h"
#include "ui/help/help_view.h"
#include "ui/toolkit/modal_window.h"

enum HelpControlId { IdHelpClose = 4001, IdHelpBrowser, IdHelpView };

class TForm2 : public ModalWindow {
  public:
    ~TForm2() override;
    bool Create();
    // "res://" + the running executable's full path + "/HELPHTML".
    static std::string HelpAddress();
    // The page as stored in the executable's resources.
    static std::string HelpPageText();
    // The program's own drawing of the page, shown while the browser holds no document.
    HelpView& View() { return FallbackView; }
    bool ShowsBrowser() const { return browserShown_; }
    // Creates the browser control and starts loading the page into it, once.
    void StartLoadingPage();

  protected:
    void FormShow() override;
    void AfterShow() override; // the keyboard goes to the page
    bool PreTranslate(MSG& message) override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void ApplyDpi(int dpi) override;

  private:
    void FormCreate();

    BrowserControl WebBrowser1;
    HelpView FallbackView;
    bool loadingStarted_ = false;
    bool browserReady_ = false;
    bool browserShown_ = false;
    GlyphImages glyphs_;
    Font font_;
};
