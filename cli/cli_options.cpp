#include "cli_options.h"

#include <utility>

#include "qualities.h"
#include "source_types.h"

#ifndef VANTREL_VERSION
#define VANTREL_VERSION "1.1.0"
#endif

namespace vantrel::cli {
namespace {

constexpr std::string_view kQualityOption = "--quality";

CliOptions Refuse(std::string why) {
    CliOptions refused;
    refused.action = CliOptions::Action::kUsageError;
    refused.error = std::move(why);
    return refused;
}

}  // namespace

CliOptions ParseCommandLine(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        if (argument == "--") break;
        if (argument == "--help" || argument == "-h") return {CliOptions::Action::kHelp, 256, {}, {}};
        if (argument == "--version") return {CliOptions::Action::kVersion, 256, {}, {}};
    }

    CliOptions options;
    bool onlyFiles = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (onlyFiles || argument == "-" || argument.empty() || argument[0] != '-') {
            options.files.push_back(argument);
            continue;
        }
        if (argument == "--") {
            onlyFiles = true;
            continue;
        }
        std::string quality;
        if (argument == kQualityOption) {
            if (i + 1 == arguments.size()) return Refuse("--quality needs a value");
            quality = arguments[++i];
        } else if (argument.rfind(std::string(kQualityOption) + "=", 0) == 0) {
            quality = argument.substr(kQualityOption.size() + 1);
        } else {
            return Refuse("unknown option '" + argument + "'");
        }
        const std::optional<Quality> chosen = QualityNamed(quality);
        if (!chosen) {
            return Refuse("unknown quality '" + quality +
                          "' (choose lowest, medium-lo, medium-hi or highest)");
        }
        options.videoBitrate = chosen->kilobits;
    }
    if (options.files.empty()) return Refuse("no FILE given");
    return options;
}

std::string UsageText() {
    return "Usage: vantrel-convert [--quality QUALITY] FILE...\n"
           "Converts movies to the handheld player's format: MPEG-1 video at 256x192 and\n"
           "12 frames per second, mono 22050 Hz MP2 sound, saved beside each FILE with\n"
           "its name in lower case and the extension .d3v.\n"
           "\n"
           "Accepted files end in " + AcceptedExtensionList() + ".\n"
           "\n"
           "  --quality QUALITY  video bitrate: lowest (192 kbit/s), medium-lo (256,\n"
           "                     the default), medium-hi (320) or highest (384)\n"
           "  --help, -h         show this help and exit\n"
           "  --version          show the version and exit\n"
           "  --                 every later argument is a FILE\n"
           "\n"
           "Ctrl-C stops the running conversion, deletes its partial file and starts no\n"
           "further one.\n"
           "\n"
           "Exit status: 0 when every FILE was converted, 1 when any failed or was\n"
           "refused, 2 for a usage error, 130 when stopped.\n";
}

std::string VersionText() { return "vantrel-convert " VANTREL_VERSION "\n"; }

}  // namespace vantrel::cli
