// TForm1: the main window. It owns the controls, the found-file list, the activity log and
// the run state, and carries out the commands through the CommandHost interface.
#pragma once
#include <string>

#include "ui/toolkit/gdi_objects.h"
#include <functional>

#include "command/run_window.h"
#include "ui/about/about_box.h"
#include "ui/toolkit/dpi.h"
#include "ui/main/found_list_view.h"
#include "ui/toolkit/glyphs.h"
#include "ui/help/help_window.h"
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

class TForm1 : public Window, public RunWindow, private LogView {
  public:
    TForm1();
    ~TForm1() override;

    bool Create();
    // Applies the process's show command; the first showing runs Init.
    void Show(int showCommand);
    // Dispatches one message of the application's loop (dialog keys included).
    void DispatchLoopMessage(MSG& msg);
    int ReturnCode() const { return returnCode_; }
    HWND Control(ControlId id) const { return GetDlgItem(Handle(), id); }
    // Bevel1, the sunken frame round the settings, in client coordinates.
    RECT BevelRect() const;

    // CommandHost
    RunState& State() override { return state_; }
    ActivityLog& Log() override { return log_; }
    ListedScan& Found() override { return found_; }
    const RegionalFormats& Formats() const override { return formats_; }
    void EnterBusy() override;
    void ReturnToIdle() override;
    void EnableDelete() override;
    void FoundListChanged() override;
    void ProcessMessages() override;
    void ShowErrorDialog(const std::string& text) override;

    // RunWindow
    void ShowForUse() override;
    void ExitProgram(int32_t code) override;
    void EndUntouched(int32_t code) override;
    void ShowInformationDialog(const std::string& text) override;
    bool DesktopIsVisible() override;

    // The days field read as a whole number (0 when it is not one), and the path field.
    int32_t DaysValue();
    std::string RootPath();

    // Start-up and settings. Init reads the settings, then hands the run to `start` (set
    // before the first showing); without one the window opens for use.
    void OnStart(std::function<void()> start) { start_ = std::move(start); }
    void Init();
    void ReadSettings();
    void WriteSettings();
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
    void Timer1Timer();
    void Panel1Resize();

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void ApplyDpi(int dpi) override;

  private:
    // LogView
    void AppendText(const std::string& text) override;
    void ClearText() override;

    void CreateControls();
    void AddHint(HWND control, const char* hint);
    void LayOut();
    void FitColumnsToHeaders();
    void SetWindowIcons();
    void OnCommand(int id, int code);
    LRESULT OnNotify(NMHDR* header);
    void OnClose();
    // Stops an unattended run that is busy for a request to end; false when none runs.
    bool RequestEnd(const char* reason);
    void OnEndSession();
    void RunCommand(void (TForm1::*command)());
    void EndAfterFailedStart();
    // The first showing, in the saved maximised state: maximised at once, or on restoring
    // when started minimised.
    void ShowInStartState();
    void KeepMaximisedSize(WINDOWPOS& pos);
    void PaintBevel();
    std::string DaysText() const;
    void Enable(ControlId id, bool enabled) { EnableWindow(Control(id), enabled ? TRUE : FALSE); }
    // Enables and disables the controls as the busy or the idle state has them.
    void ApplyState(bool busy);

    static LRESULT CALLBACK ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR id, DWORD_PTR data);
    LRESULT DaysEditMessage(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

    TForm2 Form2;
    TAboutBox AboutBox;
    RunState state_;
    std::function<void()> start_;
    ActivityLog log_;
    ListedScan found_;
    RegionalFormats formats_;
    FoundListView foundView_{found_, formats_};
    char decimalSeparator_ = '.';
    GlyphImages glyphs_;
    Font font_;
    Icon bigIcon_, smallIcon_;
    Scale scale_;
    HWND tooltip_ = nullptr;
    SIZE minimumSize_{0, 0};
    int32_t returnCode_ = 0;
    bool busy_ = false;
    bool closePending_ = false;
    int showCommand_ = SW_SHOWNORMAL;
    DWORD lastPump_ = 0;
};
