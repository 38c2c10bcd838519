#include "parse/encoder_output_parser.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>
#include <string_view>
#include <utility>

#include "parse/stream_line.h"
#include "parse/text_scan.h"
#include "parse/track_line.h"

namespace vantrel {
namespace {

constexpr size_t kFieldBufferSize = 256;

bool StartsWith(const char* text, const char* prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

bool Contains(const char* line, const char* text) { return FindSubstring(text, line) >= 0; }

// The line, without its line end, ends in ':'.
bool EndsWithColon(const char* line) {
    size_t length = std::strlen(line);
    while (length > 0 && (line[length - 1] == '\n' || line[length - 1] == '\r')) --length;
    return length > 0 && line[length - 1] == ':';
}

const char* SkipBlanks(const char* p) {
    while (IsBlank(*p)) ++p;
    return p;
}

// ffmpeg 4.1 to 7.1 start each progress line with "frame=", or with "size="
// when there is no video. "time=" anywhere else (a file name, a title) is text.
bool IsProgressLine(const char* line) {
    line = SkipBlanks(line);
    return StartsWith(line, "frame=") || StartsWith(line, "size=");
}

// "time=00:01:05.20"; before the first frame ffmpeg may write "time=N/A" or a
// huge negative clock, which is read as a number and clamped by the view.
int64_t ReadPosition(const char* value) {
    const char* p = SkipBlanks(value);
    if (StartsWithClockTime(p)) return ParseClockHundredths(p);
    const int64_t seconds = std::clamp<int64_t>(ParseInt64(value), INT64_MIN / 100, INT64_MAX / 100);
    return seconds * 100;
}

void ReadProgress(ParserState& state, EncoderReportSink& sink, const char* value) {
    state.positionHundredths = ReadPosition(value);
    if (state.positionHundredths == 0) return;
    if (const auto duration = state.source.durationHundredths; duration && *duration > 0) {
        state.progressPercent = static_cast<float>(static_cast<double>(state.positionHundredths) /
                                                   static_cast<double>(*duration) * 100.0);
    }
    PostProgress(state, sink);
}

// "  Duration: 00:00:50.00, start: 0.000000, bitrate: 900 kb/s", or "N/A"
// for each that the container does not say. `text` is the line past its
// indentation.
void ReadDuration(ParserState& state, const char* text) {
    const char* p = SkipBlanks(text + 9);  // past "Duration:"
    if (*p != '\0') {
        char field[kFieldBufferSize];
        CopyField(field, p, sizeof field);
        state.source.duration = field;
        if (StartsWithClockTime(p)) {
            state.source.durationHundredths = ParseClockHundredths(p);
        } else {
            state.source.durationHundredths.reset();
        }
    }
    const int32_t bitrate = FindSubstring(", bitrate: ", text);
    if (bitrate >= 0) {
        char field[kFieldBufferSize];
        CopyField(field, text + bitrate + 11, sizeof field);
        state.source.bitrate = field;
    }
}

// A picture stored with the sound, a cover. ffmpeg 4.1 does not mark one as
// such, but a still image has no frame rate: ffmpeg guesses one from the time
// base, "90k tbr", where a movie has "25 fps" or at least "25 tbr".
bool IsStillImage(const char* line) {
    return Contains(line, "(attached pic)") || (!Contains(line, " fps") && Contains(line, "k tbr"));
}

// How many of the source's streams before `index` are of this kind.
size_t StreamsBefore(const ParserState& state, int64_t index, char kind) {
    const size_t listed = state.streamKinds.size();
    const size_t end =
        index >= 0 && static_cast<size_t>(index) < listed ? static_cast<size_t>(index) : listed;
    return static_cast<size_t>(
        std::count(state.streamKinds.begin(), state.streamKinds.begin() + end, kind));
}

// Puts the track among those of its kind in the order of the streams'
// indexes, which "0:a:N" counts by, even when ffmpeg lists them otherwise (by
// program), and makes its metadata the next lines'.
template <typename Track>
void AddTrack(ParserState& state, std::vector<Track>& tracks, Track track, int64_t index,
              char kind) {
    const size_t place = std::min(StreamsBefore(state, index, kind), tracks.size());
    tracks.insert(tracks.begin() + static_cast<std::ptrdiff_t>(place), std::move(track));
    state.metadataKind = kind;
    state.metadataTrack = place;
}

// "    Stream #0:1[0x2](eng): Audio: aac (LC), 44100 Hz, stereo, fltp (default)".
void ReadSourceStream(ParserState& state, const char* line, const StreamLine& stream) {
    SourceDescription& source = state.source;
    source.read = true;
    state.metadataKind = '\0';
    state.metadataIndent = -1;
    state.titleGoesOn = false;
    const bool indexed = stream.index >= 0 && stream.index < 4096;
    const size_t index = static_cast<size_t>(stream.index);
    // A stream in two programs is listed under each.
    if (indexed && index < state.streamKinds.size() && state.streamKinds[index] != '\0') return;

    char kind = '?';
    if (stream.kind == "Video") {
        kind = 'V';
        // A cover image is shown as a video stream of its own; it says nothing
        // of the movie's picture.
        if (IsStillImage(line)) {
            source.hasCoverArt = true;
        } else if (!source.hasPicture) {
            source.hasPicture = true;
            const VideoStreamFields fields = ReadVideoStreamFields(stream.description);
            source.videoCodec = fields.codec;
            source.pictureSize = fields.pictureSize;
            source.frameRate = fields.frameRate;
            source.pictureWidth = fields.width;
            source.pictureHeight = fields.height;
            source.videoCodecId = fields.codec.substr(0, fields.codec.find(' '));
            source.framesPerSecond = fields.framesPerSecond;
            source.fieldOrder = fields.fieldOrder;
        }
    } else if (stream.kind == "Audio") {
        kind = 'A';
        AddTrack(state, source.soundTracks, ReadSoundTrack(stream), stream.index, kind);
    } else if (stream.kind == "Subtitle") {
        kind = 'S';
        AddTrack(state, source.subtitleTracks, ReadSubtitleTrack(stream), stream.index, kind);
    }
    if (indexed) {
        if (state.streamKinds.size() <= index) state.streamKinds.resize(index + 1, '\0');
        state.streamKinds[index] = kind;
    }
}

bool IsTitle(std::string_view key) {
    return key.size() == 5 && std::equal(key.begin(), key.end(), "title", [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == b;
           });
}

// A sound or subtitle stream's line may be followed by its metadata, a
// "Metadata:" heading and its entries indented under it, of which only the
// title is kept. The input's own metadata and its chapters' come before the
// first stream line, and a program's after its "Program" line: none is a
// track's.
void ReadTrackMetadata(ParserState& state, const char* line) {
    if (state.metadataKind == '\0') return;
    if (state.metadataIndent < 0) {
        const std::optional<size_t> heading = MetadataHeadingIndent(line);
        state.metadataKind = heading ? state.metadataKind : '\0';
        state.metadataIndent = heading ? static_cast<int>(std::min<size_t>(*heading, 4096)) : -1;
        return;
    }
    const std::optional<MetadataEntry> entry = ReadMetadataEntry(line);
    const size_t entryIndent = static_cast<size_t>(state.metadataIndent) + 2;
    std::string& title = state.metadataKind == 'A'
                             ? state.source.soundTracks[state.metadataTrack].title
                             : state.source.subtitleTracks[state.metadataTrack].title;
    if (entry && entry->key.empty() && entry->indent > entryIndent) {
        // The title's next line: a title of several lines is kept as one.
        if (state.titleGoesOn) title += " " + std::string(entry->value);
    } else if (entry && !entry->key.empty() && entry->indent == entryIndent) {
        state.titleGoesOn = IsTitle(entry->key);
        if (state.titleGoesOn) title = std::string(entry->value);
    } else {
        state.metadataKind = '\0';
    }
}

// The kind of the source's stream that a decoder's complaint names, by its
// "#0:N" (ffmpeg 4 and 5: "Error while decoding stream #0:1") or its
// "ist#0:N" tag (ffmpeg 7: "[aist#0:1/mp2 @ 0x..]"); '?' when it names none.
char KindOfNamedStream(const ParserState& state, const char* line) {
    const int32_t hash = FindSubstring("#0:", line);
    if (hash < 0) return '?';
    const int64_t index = ParseInt64(line + hash + 3);
    if (index < 0 || static_cast<size_t>(index) >= state.streamKinds.size()) return '?';
    return state.streamKinds[static_cast<size_t>(index)];
}

bool ReportsDecodingFailure(const char* line) {
    // Old encoders said "frame decoding fail"; ffmpeg 4 and 5 say "Error
    // while decoding stream", ffmpeg 7 "Decoding error" or "Error submitting
    // packet to decoder".
    return Contains(line, "frame decoding fail") || Contains(line, "Error while decoding stream") ||
           Contains(line, "Decoding error") || Contains(line, "Error submitting packet to decoder");
}

// A line of ffmpeg's own that may say why a run failed: not part of a
// description (those are indented), of the progress, of the closing words or
// of the muxer's advice that every conversion gets.
bool MaySayWhy(const char* line) {
    if (*line == '\0' || IsBlank(*line)) return false;
    for (const char* ordinary : {"Input #", "Output #", "Stream mapping:", "Press [q]",
                                 "Conversion failed!", "video:", "Exiting normally", "frame=",
                                 "size=", "ffmpeg version", "If you want the mpeg file",
                                 "Like DVD, VCD", "To ignore this"}) {
        if (StartsWith(line, ordinary)) return false;
    }
    return !Contains(line, "VBV buffer size not set") && !Contains(line, "muxing overhead");
}

void KeepErrorLine(ParserState& state, const char* line) {
    std::string_view text(line);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
    state.lastErrorLine = std::string(text.substr(0, kFieldBufferSize - 1));
}

// The loudness meter ends its run with a summary of indented lines, after
// "[Parsed_ebur128_0 @ 0x..] Summary:": "    I:         -35.6 LUFS" is the
// integrated loudness, "    Peak:      -22.7 dBFS" the sample peak (or "-inf"
// for silence). Read whatever the program's locale, which may want a comma.
void ReadLoudnessSummary(ParserState& state, const char* line) {
    if (Contains(line, "Summary:") && Contains(line, "ebur128")) {
        state.inLoudnessSummary = true;
        return;
    }
    if (!state.inLoudnessSummary) return;
    const char* p = SkipBlanks(line);
    const auto value = [&](size_t skip) {
        const char* number = SkipBlanks(p + skip);
        double read = -100.0;  // "-inf", or nothing a number
        std::from_chars(number, number + std::strlen(number), read);
        return std::isfinite(read) ? read : -100.0;
    };
    if (StartsWith(p, "I:")) state.integratedLufs = value(2);
    if (StartsWith(p, "Peak:")) state.samplePeakDbfs = value(5);
}

}  // namespace

void FinishSourceDescription(ParserState& state, EncoderReportSink& sink) {
    if (state.sourceComplete || !state.source.read) return;
    state.sourceComplete = true;
    sink.SourceDescribed(state.source);
}

void ParseEncoderOutput(ParserState& state, EncoderReportSink& sink, const char* line) {
    if (IsProgressLine(line)) {
        FinishSourceDescription(state, sink);
        const int32_t time = FindSubstring("time=", line);
        if (time >= 0) ReadProgress(state, sink, line + time + 5);
        return;
    }

    // Each input's description starts unindented and goes on indented; the
    // first line that is not indented ends it.
    if (StartsWith(line, "Input #")) {
        if (state.describedInput == 0) FinishSourceDescription(state, sink);
        state.describedInput = static_cast<int>(ParseInt64(line + 7));
        state.inputNameOpen = !EndsWithColon(line);
        return;
    }
    // "from '...':" names the file, and a file's name may hold line ends.
    if (state.inputNameOpen) {
        state.inputNameOpen = !EndsWithColon(line);
        return;
    }
    if (state.describedInput == 0 && !IsBlank(*line) && *line != '\0') {
        state.describedInput = -1;
        FinishSourceDescription(state, sink);
    }

    if (state.describedInput == 0) {
        // Only a line that starts with "Stream #0:" or "Duration:" is one: a
        // title may well hold either, or "Video: ".
        if (const std::optional<StreamLine> stream = ReadStreamLine(line)) {
            ReadSourceStream(state, line, *stream);
            return;
        }
        ReadTrackMetadata(state, line);
        const char* text = line + std::strspn(line, " ");
        if (StartsWith(text, "Duration:")) ReadDuration(state, text);
        return;
    }

    if (ReportsDecodingFailure(line)) {
        // Damaged sound is skipped and the movie goes on, and a damaged
        // subtitle loses only its own lines; only a picture that cannot be
        // decoded makes the source undecodable.
        switch (KindOfNamedStream(state, line)) {
            case 'A': ++state.soundDecodeFailures; break;
            case 'S': break;
            default: ++state.pictureDecodeFailures; break;
        }
    }
    ReadLoudnessSummary(state, line);
    // libass, when no font on the system has a letter of the subtitles.
    if (Contains(line, "failed to find any fallback with glyph")) ++state.lettersWithoutFont;
    if (MaySayWhy(line)) KeepErrorLine(state, line);
}

void PostProgress(const ParserState& state, EncoderReportSink& sink) {
    if (!state.progressEnabled) return;
    ProgressReport report;
    report.convertedHundredths = std::max<int64_t>(state.positionHundredths, 0);
    if (state.source.durationHundredths && *state.source.durationHundredths > 0) {
        const double thousandths = static_cast<double>(state.progressPercent) * 1000.0;
        // Truncate toward zero; keep a wild value inside int32 rather than invoke UB.
        report.position = static_cast<int32_t>(std::clamp(thousandths, -2147483648.0, 2147483647.0));
    }
    sink.Progressed(report);
}

}  // namespace vantrel
