#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/output_format.h"
#include "conversion/picture_fit.h"
#include "conversion/subtitle_choice.h"
#include "conversion/trim.h"

namespace vantrel::cli {

// What the command line asks for.
struct CliOptions {
    enum class Action { kConvert, kListCards, kHelp, kVersion, kUsageError };

    Action action = Action::kConvert;
    int32_t videoKilobits = kPlayerFormat.defaultVideoKilobits;  // from --quality
    PictureFit fit = kDefaultPictureFit;  // from --fit
    int jobs = 0;                 // files converted at once, from --jobs; 0: not given
    std::string outputFolder;     // from --output-dir; empty: beside each source
    SubtitleChoice subtitles;     // from --subtitles
    std::string language;         // from --language, as given; empty: the system's
    bool normalizeLoudness = true;   // off with --no-normalize
    std::string subtitleEncoding;    // from --subtitle-encoding; empty: found out
    std::string previewPath;      // from --preview: write this PNG of the one FILE instead
    Trim trim;                    // from --start and --end
    std::vector<std::string> files;
    std::string error;            // why the line was refused (kUsageError only)
};

// Reads the arguments after the program's name. Options may stand anywhere
// before "--"; everything after it, and a lone "-", is a file. --help and
// --version win over everything else on the line, so that asking for help
// never fails because of a typo elsewhere.
CliOptions ParseCommandLine(const std::vector<std::string>& arguments);

std::string UsageText();
std::string VersionText();

}  // namespace vantrel::cli
