#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "conversion/converter.h"
#include "cli/shared_console.h"
#include "platform/stop_signal.h"

namespace vantrel::cli {

enum class FileResult {
    kConverted,
    kFailed,    // missing or unreadable, not decodable, or the encoder failed
    kRejected,  // the name is not one the converter takes, or its target is taken
    kStopped,   // a stop was requested; nothing further may start
};

struct SourceAndTarget {
    std::string source;  // absolute
    std::string target;
};

// FILE as a readable source with its target, by the naming rule, in
// `outputFolder` or, when that is empty, beside it; nothing, after telling the
// console why, when it is not one or its target's folder cannot be written.
std::optional<SourceAndTarget> ResolveFile(const std::string& file, const std::string& outputFolder,
                                           FileConsole& console, FileResult& refusal);

// Tells the console that `file` is refused because `earlier`, named before
// it in this call, is converted to the same target.
FileResult RefuseSharedTarget(const SourceAndTarget& file, const std::string& earlier,
                              FileConsole& console);

// Converts the source as `settings` says (all but its source and target),
// and shows the conversion's report: the source as its own run describes it,
// then how it ended. `stop` ends the run.
FileResult ConvertFile(const SourceAndTarget& file, Converter& converter,
                       const ConversionRequest& settings, const StopSignal& stop,
                       FileConsole& console);

}  // namespace vantrel::cli
