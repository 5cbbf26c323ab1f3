// The run as the window shows it: what a run tells and asks of the window that carries it.
// The main window implements it; the tests record it.
#pragma once
#include <string>

#include "command/activity_log.h"

// What the window's controls offer.
enum class ViewState {
    Busy,         // a command works: Stop and the progress bar only
    Idle,         // waiting for the user; Delete Files stays off
    IdleWithList, // waiting, and the last scan's old files may be deleted
    Open,         // an interactive run begins: the window becomes visible in its start state
};

// The dialogs a run may show.
enum class Question {
    Error,       // the modal "Error" dialog
    Information, // the modal "Information" dialog
    ErrorReport, // the general error report of an error nothing else handled
};

// The log's lines reach the view through LogView (AppendText, ClearText).
class RunView : public LogView {
  public:
    virtual void Show(ViewState state) = 0;
    // Rows were added to the found-file list, or it was emptied.
    virtual void RowsAdded() = 0;
    // Lets pending window messages run (repaints, the timer, Stop, a request to close).
    virtual void LetMessagesRun() = 0;
    // Whether a person can see the desktop the run is on: nowhere else may a dialog wait.
    virtual bool PersonCanSee() = 0;
    // Shows the dialog and waits for it, where a person can see it.
    virtual void Ask(Question question, const std::string& text) = 0;
};
