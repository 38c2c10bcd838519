#include "cli/cli_options.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "cli/terminal_columns.h"
#include "conversion/language_code.h"
#include "conversion/simultaneous_conversions.h"
#include "conversion/source_types.h"
#include "platform/translation.h"

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

// Breaks `text` at blanks into lines of at most `width` columns. Counted in
// columns rather than bytes, since a translation's letters may take several
// bytes each; a word longer than a line is left whole.
std::string Wrapped(const std::string& text, size_t width) {
    std::string wrapped = text;
    for (size_t lineStart = 0; lineStart < wrapped.size();) {
        const size_t lineEnd = std::min(wrapped.find('\n', lineStart), wrapped.size());
        const std::string_view line = std::string_view(wrapped).substr(lineStart, lineEnd - lineStart);
        const size_t blank = TerminalColumns(line) > width
                                 ? wrapped.rfind(' ', lineStart + FirstColumns(line, width).size())
                                 : std::string::npos;
        if (blank == std::string::npos || blank < lineStart) {
            lineStart = lineEnd + 1;
            continue;
        }
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
        if (&q == &kPlayerFormat.qualities.front()) {
            choices = describe(q);
        } else if (&q == &kPlayerFormat.qualities.back()) {
            // TRANSLATORS: {1} is a list of choices, such as "lowest, medium-lo", and {2} the last
            // one, such as "highest".
            choices = Fill(Tr("{1} or {2}"), {choices, describe(q)});
        } else {
            // TRANSLATORS: {1} is the start of a list of choices, such as "lowest", and {2} the next
            // one, such as "medium-lo".
            choices = Fill(Tr("{1}, {2}"), {choices, describe(q)});
        }
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
                // TRANSLATORS: {1} is an option's name, such as --start.
                if (i + 1 == arguments.size()) return Refuse(Fill(Tr("{1} needs a value"), {known}));
                name = known;
                value = arguments[++i];
            } else if (word.rfind(std::string(known) + "=", 0) == 0) {
                name = known;
                value = word.substr(known.size() + 1);
            }
        }
        // TRANSLATORS: {1} is what was typed, such as --qualty.
        if (name.empty()) return Refuse(Fill(Tr("unknown option '{1}'"), {argument}));
        if (name == kOutputOption) {
            if (value.empty()) return Refuse(Tr("--output-dir needs a folder"));
            options.outputFolder = value;
            continue;
        }
        if (name == kSubtitlesOption) {
            const std::optional<SubtitleChoice> choice = SubtitleChoiceNamed(value);
            // TRANSLATORS: off and auto are words to type; keep them as they are.
            if (!choice) return Refuse(Tr("--subtitles needs off, auto, a track number or a file"));
            options.subtitles = *choice;
            continue;
        }
        if (name == kLanguageOption) {
            if (CanonicalLanguage(value).empty()) {
                // TRANSLATORS: {1} is what was typed; de, deu and ger are codes to type, for German.
                return Refuse(Fill(Tr("unknown language '{1}' (give a code such as de, deu or ger)"), {value}));
            }
            options.language = value;
            continue;
        }
        if (name == kEncodingOption) {
            if (value.empty()) return Refuse(Tr("--subtitle-encoding needs an encoding"));
            options.subtitleEncoding = value;
            continue;
        }
        if (name == kStartOption || name == kEndOption) {
            const std::optional<double> moment = ParseMoment(value);
            if (!moment) {
                // TRANSLATORS: {1} is what was typed, {2} the option's name, --start or --end; m:ss and
                // h:mm:ss are the forms of a time to type, minutes and seconds, or hours too.
                return Refuse(Fill(Tr("unknown time '{1}' for {2} (give seconds, m:ss or h:mm:ss, such as 90, "
                                      "1:30 or 1:02:03.5)"),
                                   {value, name}));
            }
            (name == kStartOption ? options.trim.start : options.trim.end) = *moment;
            continue;
        }
        if (name == kPreviewOption) {
            if (value.empty()) return Refuse(Tr("--preview needs a file to write"));
            options.previewPath = value;
            continue;
        }
        if (name == kJobsOption) {
            const char* end = value.data() + value.size();
            const auto [stop, fault] = std::from_chars(value.data(), end, options.jobs);
            if (fault != std::errc() || stop != end || options.jobs < 1 || options.jobs > kMostJobs) {
                // TRANSLATORS: {1} is what was typed, {2} the most jobs there may be.
                return Refuse(Fill(Tr("unknown number of jobs '{1}' (choose 1 to {2})"),
                                   {value, std::to_string(kMostJobs)}));
            }
            continue;
        }
        if (name == kFitOption) {
            const std::optional<PictureFitChoice> fit = PictureFitNamed(value);
            // TRANSLATORS: {1} is what was typed; fit, fill and stretch are words to type.
            if (!fit) return Refuse(Fill(Tr("unknown fit '{1}' (choose fit, fill or stretch)"), {value}));
            options.fit = fit->fit;
            continue;
        }
        const std::optional<Quality> chosen = kPlayerFormat.QualityNamed(value);
        if (!chosen) {
            // TRANSLATORS: {1} is what was typed, {2} the qualities to type instead, such as
            // "lowest, medium-lo or highest".
            return Refuse(Fill(Tr("unknown quality '{1}' (choose {2})"),
                               {value, QualityChoices([](const Quality& q) { return std::string(q.name); })}));
        }
        options.videoKilobits = chosen->videoKilobits;
    }
    if (options.action == CliOptions::Action::kListCards) {
        if (!options.files.empty()) return Refuse(Tr("--list-cards takes no FILE"));
        return options;
    }
    if (options.trim.end && options.trim.StartSeconds() >= *options.trim.end) {
        return Refuse(Tr("--start must come before --end"));
    }
    // TRANSLATORS: FILE stands for the files named on the command line, as the help calls them.
    if (options.files.empty()) return Refuse(Tr("no FILE given"));
    if (!options.previewPath.empty() && options.files.size() != 1)
        return Refuse(Tr("--preview takes one FILE"));
    return options;
}

std::string UsageText() {
    const OutputFormat& f = kPlayerFormat;
    const std::string frame = std::to_string(f.width) + "x" + std::to_string(f.height);
    // "lowest (192 kbit/s), medium-lo (256, the default), ...": the unit once.
    const std::string qualities = QualityChoices([&](const Quality& q) {
        const bool first = &q == &f.qualities.front();
        const bool chosen = q.videoKilobits == f.defaultVideoKilobits;
        const std::string kilobits = std::to_string(q.videoKilobits);
        // TRANSLATORS: {1} is a quality's name, a word to type, and {2} its bitrate in kilobits per second.
        if (first && chosen) return Fill(Tr("{1} ({2} kbit/s, the default)"), {q.name, kilobits});
        // TRANSLATORS: {1} is a quality's name, a word to type, and {2} its bitrate in kilobits per second.
        if (first) return Fill(Tr("{1} ({2} kbit/s)"), {q.name, kilobits});
        // TRANSLATORS: {1} is a quality's name, a word to type, and {2} its bitrate, in the unit named before.
        if (chosen) return Fill(Tr("{1} ({2}, the default)"), {q.name, kilobits});
        // TRANSLATORS: {1} is a quality's name, a word to type, and {2} its bitrate, in the unit named before.
        return Fill(Tr("{1} ({2})"), {q.name, kilobits});
    });
    const std::string framesPerSecond =
        Fill(TrN("{1} frame per second", "{1} frames per second", static_cast<unsigned long>(f.framesPerSecond)),
             {std::to_string(f.framesPerSecond)});
    const std::string rate = std::to_string(f.soundSampleRate);
    std::string sound;
    if (f.soundChannels == 1) {
        // TRANSLATORS: {1} is a sampling rate such as 22050, {2} a sound format such as MP2.
        sound = Fill(Tr("mono {1} Hz {2} sound"), {rate, f.soundCodecName});
    } else {
        // TRANSLATORS: {1} is a sampling rate such as 44100, {2} a sound format such as MP2.
        sound = Fill(Tr("{1} Hz {2} sound"), {rate, f.soundCodecName});
    }

    // The words in capitals, FILE, DIR, TIME..., are those of the command lines, which stay as they are in every
    // language, as the options' names do.
    // TRANSLATORS: the command lines the program takes. Keep them as they are, options and words in capitals
    // alike; only "Usage:" is to be translated, and the lines below indented to stand under its first option.
    std::string help = Tr("Usage: vantrel-convert [--quality QUALITY] [--fit FIT] [--jobs N] [-o DIR]\n"
                          "                      [--subtitles off|auto|N|FILE] [--language LANG]\n"
                          "                      [--no-normalize] [--start TIME] [--end TIME]\n"
                          "                      FILE|FOLDER...\n"
                          "       vantrel-convert --preview PNG [OPTION...] FILE\n"
                          "       vantrel-convert --list-cards");
    help += '\n';
    // TRANSLATORS: {1} is a video format such as MPEG-1, {2} a picture size such as 256x192, {3} the frames per
    // second, such as "12 frames per second", {4} the sound, such as "mono 22050 Hz MP2 sound", {5} the
    // converted files' extension, such as d3v. FILE, DIR and FOLDER are the words of the command lines; keep
    // them. One paragraph: the program breaks it into lines.
    help += Wrapped(Fill(Tr("Converts movies to the handheld player's format: {1} video at {2} and {3}, {4} "
                            "(silent when the movie has none), saved beside each FILE, or in DIR, with its name "
                            "in lower case, in letters every memory card holds, and the extension .{5}. A FOLDER "
                            "is searched through its subfolders for movie files."),
                         {f.videoCodecName, frame, framesPerSecond, sound, f.extension}),
                    79);
    help += "\n\n";
    // TRANSLATORS: {1} is the list of file name extensions, such as ".mpg, .mp4, .avi". One paragraph: the
    // program breaks it into lines.
    help += Wrapped(Fill(Tr("Accepted files end in {1}, in any case."), {AcceptedExtensionList()}), 79);
    help += "\n\n";
    // TRANSLATORS: {1} is the list of qualities, such as "lowest (192 kbit/s), medium-lo (256, the default) or
    // highest (384)".
    help += Option("--quality QUALITY", Fill(Tr("video bitrate: {1}"), {qualities}));
    // TRANSLATORS: {1} is a picture size such as 256x192. fit, fill and stretch are words to type; keep them.
    help += Option("--fit FIT", Fill(Tr("how the picture fills the {1} frame: fit (the default: all of it, its "
                                        "shape kept, on black bars), fill (its shape kept, the overflow cut off) "
                                        "or stretch (squeezed to the frame)"),
                                     {frame}));
    // TRANSLATORS: {1} is a number of files. N and FILE are the words of the command line; keep them.
    help += Option("--jobs N", Fill(Tr("convert up to N files at once (default: {1}, half the cores); their lines "
                                       "then begin with their FILE"),
                                    {std::to_string(DefaultSimultaneousConversions())}));
    help += Option("-o, --output-dir DIR", Tr("save the converted files in DIR rather than beside their sources"));
    // TRANSLATORS: off and auto are words to type; keep them, and FILE, N, LANG and NAME, the words of the
    // command line.
    help += Option("--subtitles WHICH",
                   Tr("draw subtitles into the picture: off; auto (the default: a subtitle file beside FILE, named "
                      "like it (NAME.srt, NAME.LANG.srt, .ass, .ssa, .vtt), else a track flagged forced, else, "
                      "when the sound is in another language than LANG, a track in LANG); the source's subtitle "
                      "track N, counted from 1; or the subtitle file FILE"));
    // TRANSLATORS: de, deu and ger are codes to type, for German; keep them.
    help += Option("--language LANG",
                   Tr("the language to hear and read, as a two- or three-letter code (de, deu and ger are one): "
                      "the sound track in LANG is taken, else the one flagged default (default: the system's "
                      "language)"));
    help += Option("--no-normalize",
                   Tr("keep the source's loudness rather than bring it to -16 LUFS for a small speaker"));
    help += Option("--subtitle-encoding ENC",
                   Tr("read subtitle files as ENC (WINDOWS-1252, SHIFT_JIS...) rather than find out"));
    // TRANSLATORS: m:ss and h:mm:ss are the forms of a time to type, minutes and seconds, or hours too.
    help += Option("--start TIME", Tr("convert from TIME into each FILE rather than from its beginning; TIME is "
                                      "seconds, m:ss or h:mm:ss, with an optional fraction (90, 1:30, 1:02:03.5)"));
    help += Option("--end TIME", Tr("convert up to TIME into each FILE rather than to its end"));
    help += Option("--preview PNG",
                   Tr("write the frame at a third of FILE, as the player will show it, to PNG, and convert nothing"));
    // TRANSLATORS: FAT and exFAT are names of file systems; -o is an option's name.
    help += Option("--list-cards", Tr("list the memory cards plugged in (FAT and exFAT), one a line: where it is, "
                                      "its label, its file system and its free space; -o onto one saves there"));
    help += Option("--help, -h", Tr("show this help and exit"));
    help += Option("--version", Tr("show the version and exit"));
    help += Option("--", Tr("every later argument is a FILE"));
    help += '\n';
    // Broken into lines as written; a translation's longer line is broken at a blank.
    // TRANSLATORS: keep each line within 79 columns.
    help += Wrapped(Tr("Ctrl-C stops the running conversions, deletes their partial files and starts\n"
                       "no further one."),
                    79);
    help += "\n\n";
    // TRANSLATORS: keep each line within 79 columns.
    help += Wrapped(Tr("Exit status: 0 when every FILE was converted, 1 when any failed or was\n"
                       "refused, 2 for a usage error, 130 when stopped."),
                    79);
    help += '\n';
    return help;
}

std::string VersionText() { return "vantrel-convert " VANTREL_VERSION "\n"; }

}  // namespace vantrel::cli
