#include "support/recording_host.h"

#include "fs/current_directory.h"
#include "fs/path_text.h"

namespace {

RegionalFormats TestFormats() {
    RegionalFormats formats;
    formats.shortDate = "dd/MM/yyyy";
    formats.longTime = "HH:mm:ss";
    return formats;
}

} // namespace

void RecordingView::Show(ViewState state) {
    static const char* const kNames[] = {"busy", "idle", "idle with list", "open"};
    events.push_back(kNames[static_cast<int>(state)]);
}

RecordingHost::RecordingHost(const std::string& programDirectory)
    : CommandHost(TestFormats()), state(State()), log(Log()), found(Found()), formats(Formats()) {
    ShowIn(*this);
    state.settings.programDirectory = WithTrailingBackslash(programDirectory);
    if (!CurrentDirectoryPrefix(state.settings.startDirectory).Ok())
        state.settings.startDirectory = ".\\";
}

std::vector<std::string> RecordingHost::Lines() const {
    std::vector<std::string> lines;
    const std::string& text = log.Text();
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::vector<std::string> RecordingHost::FoundFiles() const {
    std::vector<std::string> files;
    for (size_t i = 0; i < found.Count(); ++i)
        files.push_back(found.Text(i, FoundList::File, formats));
    return files;
}
