// A CommandHost that records what the commands ask of the window.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "command/command_host.h"

class RecordingHost : public CommandHost {
  public:
    // Program directory: a folder of its own, so log and CSV files can be read back.
    explicit RecordingHost(const std::string& programDirectory);

    RunState& State() override { return state; }
    ActivityLog& Log() override { return log; }
    ListedScan& Found() override { return found; }
    const RegionalFormats& Formats() const override { return formats; }
    void EnterBusy() override { events.push_back("busy"); }
    void ReturnToIdle() override { events.push_back("idle"); }
    void EnableDelete() override { events.push_back("delete enabled"); }
    void FoundListChanged() override {}
    void ProcessMessages() override {
        ++pumps;
        if (onPump)
            onPump(pumps);
    }
    void ShowErrorDialog(const std::string& text) override { dialogs.push_back(text); }

    // The log's lines, without their CR LF.
    std::vector<std::string> Lines() const;
    std::vector<std::string> FoundFiles() const;

    RunState state;
    ActivityLog log;
    ListedScan found;
    RegionalFormats formats;
    int32_t days = 30;
    std::string root;
    int pumps = 0;
    std::function<void(int)> onPump;
    std::vector<std::string> events;
    std::vector<std::string> dialogs;
};
