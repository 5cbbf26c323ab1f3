// A CommandHost whose view records what the commands show and ask.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "command/command_host.h"

class RecordingView : public RunView {
  public:
    void AppendText(const std::string&) override {}
    void ClearText() override {}
    void Show(ViewState state) override;
    void RowsAdded() override {}
    void LetMessagesRun() override {
        ++pumps;
        if (onPump)
            onPump(pumps);
    }
    bool PersonCanSee() override { return true; }
    void Ask(Question, const std::string& text) override { dialogs.push_back(text); }

    int pumps = 0;
    std::function<void(int)> onPump;
    // "busy", "idle", "idle with list" (Delete Files offered), "open".
    std::vector<std::string> events;
    std::vector<std::string> dialogs;
};

class RecordingHost : private RecordingView, public CommandHost {
  public:
    // Program directory: a folder of its own, so log and CSV files can be read back.
    explicit RecordingHost(const std::string& programDirectory);

    // The log's lines, without their CR LF.
    std::vector<std::string> Lines() const;
    std::vector<std::string> FoundFiles() const;

    RunState& state;
    ActivityLog& log;
    FoundList& found;
    const RegionalFormats& formats;
    int32_t days = 30;
    std::string root;
    using RecordingView::dialogs;
    using RecordingView::events;
    using RecordingView::onPump;
    using RecordingView::pumps;
};
