// TForm1: the main window. It owns the controls and shows the run (app/run.h) it carries:
// the run's log, its found-file list, its busy and idle states. The user's commands go to the
// run; the window decides nothing of it.
#pragma once
#include <memory>
#include <string>

#include "ui/toolkit/gdi_objects.h"

#include "app/run.h"
#include "ui/about/about_box.h"
#include "ui/toolkit/dpi.h"
#include "ui/main/found_list_view.h"
#include "ui/toolkit/glyphs.h"
#include "ui/help/help_window.h"
#include "ui/toolkit/control_table.h"
#include "ui/toolkit/window_base.h"

enum ControlId {
    IdScanNow = 1001,
    IdDelete,
    IdStop,
    IdAbout,
    IdHelp,
    IdClose,
    IdDaysOldEdit,
    IdDaysUpDown,
    IdSaveSettings,
    IdDrivePathEdit,
    IdListView,
    IdMemo,
    IdSelectDrivePath,
    IdProgressBar,
    IdLabel1,
    IdLabel2,
    IdDrivePathLabel,
};

// The timer that moves the progress bar while a command runs.
const UINT_PTR kBusyTimer = 1;

// The characters the log view keeps at most: the newest lines of the log.
const int kLogViewTail = 64 * 1024;

class TForm1 : public Window, public RunView {
  public:
    // The window shows `run` and hands it the user's commands; `showCommand` is the
    // process's, applied when the run opens the window for use.
    TForm1(Run& run, int showCommand = SW_SHOWNORMAL);
    ~TForm1() override;

    bool Create();
    // Dispatches one message of the application's loop (dialog keys included).
    void DispatchLoopMessage(MSG& msg);
    // The application's loop, until the window is closed.
    void RunMessageLoop();
    HWND Control(ControlId id) const { return GetDlgItem(Handle(), id); }
    // Bevel1, the sunken frame round the settings, in client coordinates.
    RECT BevelRect() const;

    // RunView
    void AppendText(const std::string& text) override;
    void ClearText() override;
    void Show(ViewState state) override;
    void RowsAdded() override;
    void LetMessagesRun() override;
    bool PersonCanSee() override;
    void Ask(Question question, const std::string& text) override;

    // The days field read as a whole number (0 when it is not one), and the path field.
    int32_t DaysValue();
    std::string RootPath();
    void SetDaysText(const std::string& text);
    void SetDrivePath(const std::string& path);

    // Handlers.
    void ScanNowClick();
    void DeleteFilesClick();
    void StopBitBtnClick();
    void SaveSettingsButtonClick();
    void DrivePathButtonClick();
    void HelpBitBtnClick();
    void AboutBitBtnClick();
    void CloseBitBtnClick();
    // The days field lost the keyboard focus: a value out of range takes the nearest bound.
    void DaysOldEditExit();
    void Timer1Timer();
    void Panel1Resize();

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void ApplyDpi(int dpi) override;

  private:
    void CreateControls();
    void AddHint(HWND control, const char* hint);
    void LayOut();
    void FitColumnsToHeaders();
    void SetWindowIcons();
    LRESULT OnNotify(NMHDR* header);
    void OnClose();
    void CloseIfPending();
    // The window opens for use: its fields as the settings give them, the help window and
    // the About box made, then shown in the saved state.
    void Open();
    void EnterBusy();
    void ReturnToIdle(bool deletable);
    // The first showing, in the saved maximised state: maximised at once, or on restoring
    // when started minimised.
    void ShowInStartState();
    void KeepMaximisedSize(WINDOWPOS& pos);
    void PaintBevel();
    std::string DaysText() const;
    void Enable(ControlId id, bool enabled) { EnableWindow(Control(id), enabled ? TRUE : FALSE); }
    // The fields' and the path button's own keyboard rules.
    void SubclassControls();
    bool DaysEditMessage(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    static constexpr int kControlCount = 17;
    static const ControlRow<TForm1> kControls[kControlCount];

    Run& run_;
    CommandRoutes routes_;
    // Made when first needed: a scheduled run makes neither.
    TForm2& HelpWindow();
    TAboutBox& About();
    std::unique_ptr<TForm2> Form2;
    std::unique_ptr<TAboutBox> AboutBox;
    FoundListView foundView_;
    char decimalSeparator_ = '.';
    GlyphImages glyphs_;
    Font font_;
    Icon bigIcon_, smallIcon_;
    Scale scale_;
    HWND tooltip_ = nullptr;
    SIZE minimumSize_{0, 0};
    bool closePending_ = false;
    int showCommand_ = SW_SHOWNORMAL;
    DWORD lastPump_ = 0;
};
