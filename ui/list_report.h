#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/expected.h"
#include "ui/source_row.h"

namespace vantrel {

// The short text report of a list's run, left for the user when the computer
// sleeps or shuts down after it, or the program quits: `when` it was done,
// then each file of the run with its outcome, and the reason for a failure.
std::string ListReportText(const std::vector<SourceRow>& rows, std::string_view when);

// Writes `text` to the report file in the program's data folder, replacing
// the last one: the file's path, or why it could not be written.
Expected<std::string> WriteListReport(const std::string& text);

}  // namespace vantrel
