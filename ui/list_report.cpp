#include "ui/list_report.h"

#include <filesystem>
#include <fstream>

#include "platform/program_folder.h"
#include "platform/utf8_path.h"

namespace vantrel {

std::string ListReportText(const std::vector<SourceRow>& rows, std::string_view when) {
    std::string text = "Vantrel Video Converter: the list done at " + std::string(when) + "\n";
    for (const SourceRow& row : rows) {
        if (!row.inRun) continue;
        // The state as the list's column words it, with the reason.
        text += "\n" + row.sourcePath + "\n    " + RowTexts(row, row.videoKilobits)[4];
        if (row.state == RowState::kConverted) text += ": " + row.target;
        text += "\n";
    }
    return text;
}

Expected<std::string> WriteListReport(const std::string& text) {
    const std::string folder = ProgramDataFolder();
    if (folder.empty()) return Fail("the system names no folder for it");
    std::error_code error;
    std::filesystem::create_directories(PathFromUtf8(folder), error);
    if (error) return Fail("cannot make " + folder + ": " + error.message());
    const std::string path = JoinPath(folder, "last-list.txt");
    std::ofstream out(PathFromUtf8(path), std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) return Fail("cannot write " + path);
    return path;
}

}  // namespace vantrel
