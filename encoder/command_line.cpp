#include "encoder/command_line.h"

#include <iterator>

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

// The source's decoder may leave out the deblocking of frames that no other
// frame is predicted from: nothing carries their error on, and most of them
// are dropped on the way to 12 fps. Measured on a 1080p h264 source, the
// picture at 256x192 lost under 0.01 dB PSNR. Deblocking every frame
// ("all") would have saved more time but cost 3.4 dB, since the skipped
// error then spreads along the chain of predicted frames. Decoders that
// do not deblock ignore it.
constexpr const char* kDecoderShortcut[] = {"-skip_loop_filter", "noref"};

// How the MPEG-1 encoder spends its bits, not which tools the stream uses:
// no B-frames and the same GOP, so every player of the old files plays the new
// ones. Rate-distortion macroblock decisions and trellis quantization, and
// key frames a little finer, since the frames after them are predicted from
// them: together with the lanczos scale about +0.57 dB PSNR at the same size,
// on a 1080p source (bench/run_bench.sh's picture figure).
constexpr const char* kEncoderDecisions[] = {"-mbd", "rd", "-trellis", "1", "-i_qfactor",
                                             "0.71"};

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
            out.insert(out.end(), std::begin(kDecoderShortcut), std::end(kDecoderShortcut));
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
        } else if (w == "-vcodec" && hasValue && words[i + 1] == "mpeg1video") {
            out.insert(out.end(), {w, words[++i]});
            out.insert(out.end(), std::begin(kEncoderDecisions), std::end(kEncoderDecisions));
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
