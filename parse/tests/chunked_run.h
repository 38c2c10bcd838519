#pragma once

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "parse/encoder_output_parser.h"
#include "parse/line_chunker.h"

namespace vantrel::testing {

// Everything the parser leaves behind after one run over an encoder's output.
struct Outcome {
    std::string panel;  // "duration|bitrate|codec|size|rate|"
    std::string facts;  // what a conversion is built from
    std::string tracks;  // the sound and subtitle tracks, see Tracks
    std::string kind;    // "mpeg2video 29.97 fps top first", see Kind
    std::vector<int32_t> posts;  // progress positions; -1 while the duration is unknown
    int64_t duration = -1, position = 0;  // -1: no duration
    int32_t pictureFailures = 0, soundFailures = 0;
    int32_t lettersWithoutFont = 0;
    std::string why;    // the last line that may say why a run failed
    int descriptions = 0;  // times the sink heard of the source
    bool operator==(const Outcome&) const = default;
};

// The first sound track flagged default, counted from 1; "-" for none.
inline std::string DefaultSound(const SourceDescription& s) {
    for (size_t i = 0; i < s.soundTracks.size(); ++i) {
        if (s.soundTracks[i].isDefault) return std::to_string(i + 1);
    }
    return "-";
}

inline std::string Facts(const SourceDescription& s) {
    return (s.hasPicture ? "picture " + std::to_string(s.pictureWidth) + "x" +
                               std::to_string(s.pictureHeight)
                         : std::string("no picture")) +
           (s.hasCoverArt ? ", cover" : "") +
           (s.hasSound() ? ", sound " + DefaultSound(s) + "/" + std::to_string(s.soundTracks.size())
                         : ", no sound");
}

// The tracks' fields as parsed, one after another:
// a0 eng stereo/2 default | a1 ger 5.1(side)/6 "Deutsch" | s0 subrip ger forced
// A language that is not said is "-", as is a layout.
inline std::string Tracks(const SourceDescription& s) {
    std::string text;
    const auto said = [](const std::string& field) { return field.empty() ? "-" : field; };
    const auto add = [&text](std::string track, const std::string& title) {
        if (!title.empty()) track += " \"" + title + "\"";
        text += (text.empty() ? "" : " | ") + track;
    };
    for (size_t i = 0; i < s.soundTracks.size(); ++i) {
        const SoundTrack& t = s.soundTracks[i];
        add("a" + std::to_string(i) + " " + said(t.language) + " " + said(t.layout) + "/" +
                std::to_string(t.channels) + (t.isDefault ? " default" : "") +
                (t.isCommentary ? " comment" : "") + (t.isForVisuallyImpaired ? " visual" : ""),
            t.title);
    }
    for (size_t i = 0; i < s.subtitleTracks.size(); ++i) {
        const SubtitleTrack& t = s.subtitleTracks[i];
        add("s" + std::to_string(i) + " " + said(t.codec) + " " + said(t.language) +
                (t.isDefault ? " default" : "") + (t.isForced ? " forced" : "") +
                (t.isForHearingImpaired ? " hearing" : ""),
            t.title);
    }
    return text;
}

// The facts the work on a picture is chosen by: its decoder, its rate and
// how its lines are shown ("progressive", "top first", "bottom first", "-").
inline std::string Kind(const SourceDescription& s) {
    char rate[32];
    std::snprintf(rate, sizeof rate, "%g fps", s.framesPerSecond);
    constexpr const char* kOrders[] = {"-", "progressive", "top first", "bottom first"};
    return s.videoCodecId + " " + rate + " " + kOrders[static_cast<int>(s.fieldOrder)];
}

// Feeds `output` through the line chunker as the pump does, with pipe reads
// of `readSize` bytes, during a conversion (progress posting on).
inline Outcome RunThroughChunker(const std::string& output, size_t readSize) {
    struct : Outcome, EncoderReportSink {
        void SourceDescribed(const SourceDescription&) override { ++descriptions; }
        void Progressed(const ProgressReport& p) override { posts.push_back(p.position.value_or(-1)); }
    } got;
    ParserState state;
    state.progressEnabled = true;
    LineChunker chunker;
    char line[LineChunker::kMaxChunk + 1];
    bool last = false;
    for (size_t done = 0; !last;) {
        const size_t n = std::min({readSize, chunker.space(), output.size() - done});
        std::memcpy(chunker.tail(), output.data() + done, n);
        chunker.Commit(n);
        done += n;
        last = done == output.size();  // the last read flushes what is left of the last line
        while (chunker.Take(line, last) != 0) ParseEncoderOutput(state, got, line);
    }
    FinishSourceDescription(state, got);
    Outcome outcome = got;
    for (const PanelField field : kPanelFields) outcome.panel += state.source.Text(field) + "|";
    outcome.facts = state.source.read ? Facts(state.source) : "not read";
    outcome.tracks = Tracks(state.source);
    outcome.kind = Kind(state.source);
    outcome.duration = state.source.durationHundredths.value_or(-1);
    outcome.position = state.positionHundredths;
    outcome.pictureFailures = state.pictureDecodeFailures;
    outcome.soundFailures = state.soundDecodeFailures;
    outcome.lettersWithoutFont = state.lettersWithoutFont;
    outcome.why = state.lastErrorLine;
    return outcome;
}

}  // namespace vantrel::testing
