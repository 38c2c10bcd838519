#include "command_line.h"

namespace vantrel {

std::vector<std::string> ArgumentWords(const std::string& source, int videoBitrate,
                                       const std::string& target) {
    return {"-y",      "-i",     source,       "-b",   std::to_string(videoBitrate),
            "-strict", "-2",     "-s",         "256x192",
            "-r",      "12",     "-f",         "mpeg", "-vcodec",
            "mpeg1video",        "-ab",        "64",   "-ar",
            "22050",   "-coder", "1",          "-ac",  "1",
            "-acodec", "mp2",    target};
}

namespace {

// ffmpeg's own file protocol takes the rest of the word literally, so a name
// like "-x.avi" or "a:b.avi" is just a file.
std::string AsFile(const std::string& path) { return path.empty() ? path : "file:" + path; }

}  // namespace

std::vector<std::string> TranslateForInstalledEncoder(const std::vector<std::string>& words,
                                                      const EncoderFilters& filters) {
    std::vector<std::string> out;
    out.reserve(words.size() + 16);
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& w = words[i];
        const bool hasValue = i + 1 < words.size();
        if (w == "-y") {
            out.push_back(w);
            out.push_back("-loglevel");
            out.push_back("repeat+info");
        } else if (w == "-i" && hasValue) {
            // The silence comes in first: ffmpeg describes its inputs in order,
            // and the source's description, coming last, is the one kept.
            if (!filters.silentSound.empty()) {
                out.insert(out.end(), {"-f", "lavfi", "-i", filters.silentSound});
            }
            out.push_back(w);
            out.push_back(AsFile(words[++i]));
            if (!filters.silentSound.empty()) {
                out.insert(out.end(), {"-map", "1:V:0", "-map", "0:a", "-shortest"});
            } else {
                // The sound is asked for by name, so that a source without
                // any makes ffmpeg stop right after describing it, before it
                // writes anything, rather than make a movie without sound.
                out.insert(out.end(), {"-map", "0:V:0?", "-map", "0:a:0"});
            }
            if (!filters.video.empty()) out.insert(out.end(), {"-vf", filters.video});
            if (!filters.audio.empty()) out.insert(out.end(), {"-af", filters.audio});
        } else if (!filters.video.empty() && (w == "-s" || w == "-r") && hasValue) {
            ++i;
        } else if (w == "-b" && hasValue) {
            out.push_back("-b:v");
            out.push_back(words[++i] + "k");
        } else if (w == "-ab" && hasValue) {
            out.push_back("-b:a");
            out.push_back(words[++i] + "k");
        } else if (w == "-coder" && hasValue) {
            ++i;
        } else if (i + 1 == words.size()) {
            out.push_back(AsFile(w));  // the target comes last
        } else {
            out.push_back(w);
        }
    }
    return out;
}

}  // namespace vantrel
