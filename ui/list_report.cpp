#include "ui/list_report.h"

#include <filesystem>
#include <fstream>

#include "platform/program_folder.h"
#include "platform/translation.h"
#include "platform/utf8_path.h"

namespace vantrel {

std::string ListReportText(const std::vector<SourceRow>& rows, std::string_view when) {
    // TRANSLATORS: the first line of the report left when the list is done; {1} is the date and time, such as
    // 2026-03-14 21:05.
    std::string text = Fill(Tr("Vantrel Video Converter: the list done at {1}"), {when}) + "\n";
    for (const SourceRow& row : rows) {
        if (!row.inRun) continue;
        // The state as the list's column words it, with the reason.
        std::string state = RowTexts(row, row.videoKilobits)[4];
        if (row.state == RowState::kConverted) {
            // TRANSLATORS: a line of the report left when the list is done; {1} is a file's state, such as
            // "Converted (2.4 MB)", {2} the path of the file it was converted to.
            state = Fill(Tr("{1}: {2}"), {state, row.target});
        }
        text += "\n" + row.sourcePath + "\n    " + state + "\n";
    }
    return text;
}

Expected<std::string> WriteListReport(const std::string& text) {
    const std::string folder = ProgramDataFolder();
    // TRANSLATORS: why the report left when the list is done could not be written.
    if (folder.empty()) return Fail(Tr("the system names no folder for it"));
    std::error_code error;
    std::filesystem::create_directories(PathFromUtf8(folder), error);
    // TRANSLATORS: why the report could not be written; {1} is a folder's path, {2} the system's reason.
    if (error) return Fail(Fill(Tr("cannot make {1}: {2}"), {folder, error.message()}));
    const std::string path = JoinPath(folder, "last-list.txt");
    std::ofstream out(PathFromUtf8(path), std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    // TRANSLATORS: why the report could not be written; {1} is its path.
    if (!out) return Fail(Fill(Tr("cannot write {1}"), {path}));
    return path;
}

}  // namespace vantrel
