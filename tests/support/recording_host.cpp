#include "support/recording_host.h"

#include "fs/current_directory.h"
#include "fs/path_text.h"

RecordingHost::RecordingHost(const std::string& programDirectory) {
    state.settings.programDirectory = WithTrailingBackslash(programDirectory);
    if (!CurrentDirectoryPrefix(state.settings.startDirectory).Ok())
        state.settings.startDirectory = ".\\";
    formats.shortDate = "dd/MM/yyyy";
    formats.longTime = "HH:mm:ss";
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
        files.push_back(found.Text(i, ListedScan::File, formats));
    return files;
}
