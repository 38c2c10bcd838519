#include "cli/cli_options.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "conversion/language_code.h"
#include "conversion/simultaneous_conversions.h"
#include "conversion/source_types.h"

namespace vantrel::cli {
namespace {

constexpr std::string_view kQualityOption = "--quality";
constexpr std::string_view kFitOption = "--fit";
constexpr std::string_view kJobsOption = "--jobs";
constexpr std::string_view kOutputOption = "--output-dir";
constexpr std::string_view kSubtitlesOption = "--subtitles";
constexpr std::string_view kLanguageOption = "--language";
constexpr std::string_view kEncodingOption = "--subtitle-encoding";
constexpr std::string_view kPreviewOption = "--preview";
constexpr std::string_view kStartOption = "--start";
constexpr std::string_view kEndOption = "--end";
constexpr std::string_view kNoNormalizeOption = "--no-normalize";
constexpr std::string_view kListCardsOption = "--list-cards";
constexpr int kMostJobs = 256;

CliOptions Only(CliOptions::Action action) {
    CliOptions only;
    only.action = action;
    return only;
}

CliOptions Refuse(std::string why) {
    CliOptions refused = Only(CliOptions::Action::kUsageError);
    refused.error = std::move(why);
    return refused;
}

// Breaks `text` at blanks into lines of at most `width` characters.
std::string Wrapped(const std::string& text, size_t width) {
    std::string wrapped = text;
    for (size_t lineStart = 0; wrapped.size() - lineStart > width;) {
        const size_t blank = wrapped.rfind(' ', lineStart + width);
        if (blank == std::string::npos || blank < lineStart) break;
        wrapped[blank] = '\n';
        lineStart = blank + 1;
    }
    return wrapped;
}

// "  --name   text", the text wrapped in a column of its own.
std::string Option(const std::string& name, const std::string& text) {
    constexpr size_t kColumn = 21;
    std::string lines = Wrapped(text, 79 - kColumn);
    const std::string indent = "\n" + std::string(kColumn, ' ');
    for (size_t at = 0; (at = lines.find('\n', at)) != std::string::npos; at += indent.size()) {
        lines.replace(at, 1, indent);
    }
    // A name that does not fit before the column has its text on the next line.
    const std::string head = "  " + name;
    return head.size() < kColumn ? head + std::string(kColumn - head.size(), ' ') + lines + "\n"
                                 : head + indent + lines + "\n";
}

// Each quality as `describe` says it, joined as a choice: "a, b, c or d".
template <typename Describe>
std::string QualityChoices(Describe describe) {
    std::string choices;
    for (const Quality& q : kPlayerFormat.qualities) {
        const bool last = &q == &kPlayerFormat.qualities.back();
        choices += (choices.empty() ? "" : last ? " or " : ", ") + describe(q);
    }
    return choices;
}

// "off", "auto", a track counted from 1 as the panel counts them, or a file.
std::optional<SubtitleChoice> SubtitleChoiceNamed(const std::string& value) {
    if (value.empty()) return std::nullopt;
    if (value == "off") return SubtitleChoice{SubtitleMode::kOff, 0, {}};
    if (value == "auto") return SubtitleChoice{SubtitleMode::kAuto, 0, {}};
    int track = 0;
    const char* end = value.data() + value.size();
    if (const auto [stop, fault] = std::from_chars(value.data(), end, track);
        fault == std::errc() && stop == end) {
        if (track < 1) return std::nullopt;
        return SubtitleChoice{SubtitleMode::kTrack, track - 1, {}};
    }
    return SubtitleChoice{SubtitleMode::kFile, 0, value};
}

}  // namespace

CliOptions ParseCommandLine(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        if (argument == "--") break;
        if (argument == "--help" || argument == "-h") return Only(CliOptions::Action::kHelp);
        if (argument == "--version") return Only(CliOptions::Action::kVersion);
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
        if (argument == kNoNormalizeOption) {
            options.normalizeLoudness = false;
            continue;
        }
        if (argument == kListCardsOption) {
            options.action = CliOptions::Action::kListCards;
            continue;
        }
        // "-o DIR" is "--output-dir DIR".
        const std::string word = argument == "-o" ? std::string(kOutputOption) : argument;
        // "--name VALUE" or "--name=VALUE", for the options that take one.
        std::string_view name;
        std::string value;
        for (std::string_view known : {kQualityOption, kFitOption, kJobsOption, kOutputOption,
                                       kSubtitlesOption, kLanguageOption, kEncodingOption,
                                       kPreviewOption, kStartOption, kEndOption}) {
            if (word == known) {
                if (i + 1 == arguments.size()) return Refuse(std::string(known) + " needs a value");
                name = known;
                value = arguments[++i];
            } else if (word.rfind(std::string(known) + "=", 0) == 0) {
                name = known;
                value = word.substr(known.size() + 1);
            }
        }
        if (name.empty()) return Refuse("unknown option '" + argument + "'");
        if (name == kOutputOption) {
            if (value.empty()) return Refuse("--output-dir needs a folder");
            options.outputFolder = value;
            continue;
        }
        if (name == kSubtitlesOption) {
            const std::optional<SubtitleChoice> choice = SubtitleChoiceNamed(value);
            if (!choice) return Refuse("--subtitles needs off, auto, a track number or a file");
            options.subtitles = *choice;
            continue;
        }
        if (name == kLanguageOption) {
            if (CanonicalLanguage(value).empty())
                return Refuse("unknown language '" + value + "' (give a code such as de, deu or ger)");
            options.language = value;
            continue;
        }
        if (name == kEncodingOption) {
            if (value.empty()) return Refuse("--subtitle-encoding needs an encoding");
            options.subtitleEncoding = value;
            continue;
        }
        if (name == kStartOption || name == kEndOption) {
            const std::optional<double> moment = ParseMoment(value);
            if (!moment) {
                return Refuse("unknown time '" + value + "' for " + std::string(name) +
                              " (give seconds, m:ss or h:mm:ss, such as 90, 1:30 or 1:02:03.5)");
            }
            (name == kStartOption ? options.trim.start : options.trim.end) = *moment;
            continue;
        }
        if (name == kPreviewOption) {
            if (value.empty()) return Refuse("--preview needs a file to write");
            options.previewPath = value;
            continue;
        }
        if (name == kJobsOption) {
            const char* end = value.data() + value.size();
            const auto [stop, fault] = std::from_chars(value.data(), end, options.jobs);
            if (fault != std::errc() || stop != end || options.jobs < 1 || options.jobs > kMostJobs)
                return Refuse("unknown number of jobs '" + value + "' (choose 1 to " +
                              std::to_string(kMostJobs) + ")");
            continue;
        }
        if (name == kFitOption) {
            const std::optional<PictureFitChoice> fit = PictureFitNamed(value);
            if (!fit) return Refuse("unknown fit '" + value + "' (choose fit, fill or stretch)");
            options.fit = fit->fit;
            continue;
        }
        const std::optional<Quality> chosen = kPlayerFormat.QualityNamed(value);
        if (!chosen) {
            return Refuse("unknown quality '" + value + "' (choose " +
                          QualityChoices([](const Quality& q) { return std::string(q.name); }) +
                          ")");
        }
        options.videoKilobits = chosen->videoKilobits;
    }
    if (options.action == CliOptions::Action::kListCards) {
        if (!options.files.empty()) return Refuse("--list-cards takes no FILE");
        return options;
    }
    if (options.trim.end && options.trim.StartSeconds() >= *options.trim.end) {
        return Refuse("--start must come before --end");
    }
    if (options.files.empty()) return Refuse("no FILE given");
    if (!options.previewPath.empty() && options.files.size() != 1)
        return Refuse("--preview takes one FILE");
    return options;
}

std::string UsageText() {
    const OutputFormat& f = kPlayerFormat;
    const std::string frame = std::to_string(f.width) + "x" + std::to_string(f.height);
    // "lowest (192 kbit/s), medium-lo (256, the default), ...": the unit once.
    const std::string qualities = QualityChoices([&](const Quality& q) {
        return std::string(q.name) + " (" + std::to_string(q.videoKilobits) +
               (&q == &f.qualities.front() ? " kbit/s" : "") +
               (q.videoKilobits == f.defaultVideoKilobits ? ", the default)" : ")");
    });
    return "Usage: vantrel-convert [--quality QUALITY] [--fit FIT] [--jobs N] [-o DIR]\n"
           "                      [--subtitles off|auto|N|FILE] [--language LANG]\n"
           "                      [--no-normalize] [--start TIME] [--end TIME]\n"
           "                      FILE|FOLDER...\n"
           "       vantrel-convert --preview PNG [OPTION...] FILE\n"
           "       vantrel-convert --list-cards\n" +
           Wrapped("Converts movies to the handheld player's format: " +
                       std::string(f.videoCodecName) + " video at " + frame + " and " +
                       std::to_string(f.framesPerSecond) + " frames per second, " +
                       (f.soundChannels == 1 ? "mono " : "") + std::to_string(f.soundSampleRate) +
                       " Hz " + std::string(f.soundCodecName) +
                       " sound (silent when the movie has none), saved beside each FILE, or in "
                       "DIR, with its name in lower case, in letters every memory card holds, and the extension ." +
                       std::string(f.extension) + ". A FOLDER is searched through its "
                       "subfolders for movie files.",
                   79) +
           "\n\n" +
           Wrapped("Accepted files end in " + AcceptedExtensionList() + ", in any case.", 79) +
           "\n\n" +
           Option("--quality QUALITY", "video bitrate: " + qualities) +
           Option("--fit FIT", "how the picture fills the " + frame +
                                   " frame: fit (the default: all of it, its shape kept, on "
                                   "black bars), fill (its shape kept, the overflow cut off) or "
                                   "stretch (squeezed to the frame)") +
           Option("--jobs N", "convert up to N files at once (default: " +
                                  std::to_string(DefaultSimultaneousConversions()) +
                                  ", half the cores); their lines then begin with their FILE") +
           Option("-o, --output-dir DIR", "save the converted files in DIR rather than beside "
                                          "their sources") +
           Option("--subtitles WHICH", "draw subtitles into the picture: off; auto (the "
                                       "default: a subtitle file beside FILE, named like it "
                                       "(NAME.srt, NAME.LANG.srt, .ass, .ssa, .vtt), else a "
                                       "track flagged forced, else, when the sound is in "
                                       "another language than LANG, a track in LANG); the "
                                       "source's subtitle track N, counted from 1; or the "
                                       "subtitle file FILE") +
           Option("--language LANG", "the language to hear and read, as a two- or "
                                     "three-letter code (de, deu and ger are one): the sound "
                                     "track in LANG is taken, else the one flagged default "
                                     "(default: the system's language)") +
           Option("--no-normalize", "keep the source's loudness rather than bring it to "
                                    "-16 LUFS for a small speaker") +
           Option("--subtitle-encoding ENC", "read subtitle files as ENC (WINDOWS-1252, "
                                             "SHIFT_JIS...) rather than find out") +
           Option("--start TIME", "convert from TIME into each FILE rather than from its "
                                  "beginning; TIME is seconds, m:ss or h:mm:ss, with an optional "
                                  "fraction (90, 1:30, 1:02:03.5)") +
           Option("--end TIME", "convert up to TIME into each FILE rather than to its end") +
           Option("--preview PNG", "write the frame at a third of FILE, as the player will "
                                   "show it, to PNG, and convert nothing") +
           Option("--list-cards", "list the memory cards plugged in (FAT and exFAT), one a "
                                  "line: where it is, its label, its file system and its free "
                                  "space; -o onto one saves there") +
           Option("--help, -h", "show this help and exit") +
           Option("--version", "show the version and exit") +
           Option("--", "every later argument is a FILE") +
           "\n"
           "Ctrl-C stops the running conversions, deletes their partial files and starts\n"
           "no further one.\n"
           "\n"
           "Exit status: 0 when every FILE was converted, 1 when any failed or was\n"
           "refused, 2 for a usage error, 130 when stopped.\n";
}

std::string VersionText() { return "vantrel-convert " VANTREL_VERSION "\n"; }

}  // namespace vantrel::cli
