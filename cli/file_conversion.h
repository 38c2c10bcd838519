#pragma once

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>

#include "stop_signal.h"

namespace vantrel::cli {

enum class FileResult {
    kConverted,
    kFailed,    // missing or unreadable, not decodable, or the encoder failed
    kRejected,  // the name is not one the converter takes
    kStopped,   // a stop was requested; nothing further may start
};

struct Console {
    std::ostream& out;  // what the panel shows, the target, progress
    std::ostream& err;  // failures
    bool live;          // `out` is a terminal
};

// The path as given when it is absolute, else under the current folder, so
// that the encoder never reads a name beginning with "-" or holding ":" as an
// option or a protocol. Empty when the current folder is unknown.
std::string MakeAbsolute(const std::string& path);

// Why `path` cannot be read as a source ("No such file or directory", "Is a
// directory"), or empty when it can.
std::string WhyUnreadable(const std::string& path);

// Takes one FILE through the window's steps: the naming rule, the probe, then
// the conversion at `videoBitrate`, with the encoder at `encoderPath`. Checks
// `stop` before each run and hands it to the engine for the run itself.
FileResult ConvertFile(const std::string& file, const std::string& encoderPath,
                       int32_t videoBitrate, const std::shared_ptr<StopSignal>& stop,
                       Console& console);

}  // namespace vantrel::cli
