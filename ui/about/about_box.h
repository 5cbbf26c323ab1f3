// TAboutBox: the product, its icon, the running executable's version and the two links.
#pragma once
#include <string>

#include "ui/toolkit/gdi_objects.h"
#include "ui/toolkit/dpi.h"
#include "base/file_info.h"
#include "ui/toolkit/error_report.h"
#include "ui/toolkit/glyphs.h"
#include "ui/toolkit/modal_window.h"

enum AboutControlId {
    IdAboutOk = IDOK,
    IdProductName = 2001,
    IdVersion,
    IdCopyright,
    IdComments1,
    IdComments2,
    IdDonateLabel1,
    IdDonateLabel2,
    IdUrl,
};

class TAboutBox : public ModalWindow {
  public:
    TAboutBox();
    ~TAboutBox() override;
    bool Create();
    // Fills the version label from the executable on disk; runs before every showing.
    void FormShow() override;
    std::string Text(AboutControlId id) const;
    HWND Control(AboutControlId id) const { return GetDlgItem(Handle(), id); }

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void ApplyDpi(int dpi) override;

  private:
    void LayOut();
    void Paint();
    void URLClick();
    void DonateClick();

    TFileInfo FileInfo1{DefaultBeep};
    GlyphImages glyphs_;
    Font font_;
    Font productFont_;
    Icon icon_;
    Scale scale_;
};
