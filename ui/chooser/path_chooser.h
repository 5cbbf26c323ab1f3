// The directory chooser: a modal dialog with a directory tree, the current directory's
// files and a drive list. Its result is the directory last opened.
#pragma once
#include <string>
#include <vector>

#include "ui/toolkit/gdi_objects.h"
#include "ui/chooser/directory_rows.h"
#include "ui/toolkit/dpi.h"
#include "ui/toolkit/modal_window.h"

#include <commctrl.h>

enum ChooserControlId {
    IdChooserOk = IDOK,
    IdChooserCancel = IDCANCEL,
    IdChooserPath = 3001,
    IdChooserTree,
    IdChooserFiles,
    IdChooserDrives,
    IdChooserNetwork,
    IdChooserNameLabel,
    IdChooserTreeLabel,
    IdChooserFilesLabel,
    IdChooserDrivesLabel,
};

class DirectoryChooser : public ModalWindow {
  public:
    DirectoryChooser();
    ~DirectoryChooser() override;

    // Shows the dialog at `start`; true and the chosen directory after OK.
    bool Choose(HWND owner, const std::string& start, std::string& result);

    // The steps the dialog's controls take, open to tests.
    bool Create();
    void OpenAtStart(const std::string& start);
    // False when the directory cannot be entered, after the error report unless `quiet`.
    bool OpenDirectory(const std::string& path, bool quiet = false);
    void OpenRow(int row);
    const std::string& CurrentDirectory() const { return current_; }
    std::vector<std::string> RowTexts() const;
    HWND Control(ChooserControlId id) const { return GetDlgItem(Handle(), id); }
    bool Confirmed() const { return confirmed_; }
    // The drive list's entries: the drive letter, its icon in the system's small image list
    // (-1 when the system has none for that kind of drive) and the text shown.
    struct Drive {
        char letter;
        int icon;
        std::string text;
    };
    const std::vector<Drive>& Drives() const { return drives_; }

  protected:
    void AfterShow() override { SetFocus(Control(IdChooserTree)); }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void ApplyDpi(int dpi) override;

  private:
    void FillDrives();
    void Refresh();
    void DrawRow(const DRAWITEMSTRUCT& item);
    void DrawDrive(const DRAWITEMSTRUCT& item);
    const Drive* DriveInRow(LRESULT row) const; // null for no row or an unknown one
    char SelectedDrive() const;
    void OnCommand(int id, int code);

    DirectoryRows rows_;
    std::vector<Drive> drives_;
    HIMAGELIST systemIcons_ = nullptr;
    std::string current_;
    Font font_;
    Scale scale_;
    bool confirmed_ = false;
};
