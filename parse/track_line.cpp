#include "parse/track_line.h"

#include <cstring>
#include <string>

namespace vantrel {
namespace {

size_t Indent(const char* line) { return std::strspn(line, " "); }

std::string_view LineText(const char* text) {
    return std::string_view(text, std::strcspn(text, "\r\n"));
}

}  // namespace

SoundTrack ReadSoundTrack(const StreamLine& stream) {
    const SoundStreamFields fields = ReadSoundStreamFields(stream.description);
    SoundTrack track;
    track.language = std::string(stream.language);
    track.channels = fields.channels;
    track.layout = fields.layout;
    track.isDefault = stream.flags.isDefault;
    track.isCommentary = stream.flags.isComment;
    track.isForVisuallyImpaired = stream.flags.isVisualImpaired;
    return track;
}

SubtitleTrack ReadSubtitleTrack(const StreamLine& stream) {
    SubtitleTrack track;
    track.codec = ReadSubtitleCodec(stream.description);
    track.language = std::string(stream.language);
    track.isDefault = stream.flags.isDefault;
    track.isForced = stream.flags.isForced;
    track.isForHearingImpaired = stream.flags.isHearingImpaired;
    return track;
}

std::optional<size_t> MetadataHeadingIndent(const char* line) {
    const size_t indent = Indent(line);
    if (LineText(line + indent) != "Metadata:") return std::nullopt;
    return indent;
}

// ffmpeg pads the key to 16 characters and follows it with ": ", a longer key
// too: "    compatible_brands: isomiso2avc1mp41".
std::optional<MetadataEntry> ReadMetadataEntry(const char* line) {
    MetadataEntry entry;
    entry.indent = Indent(line);
    const std::string_view text = LineText(line + entry.indent);
    const size_t colon = text.find(": ");
    if (colon == std::string_view::npos) return std::nullopt;
    entry.key = text.substr(0, colon);
    while (!entry.key.empty() && entry.key.back() == ' ') entry.key.remove_suffix(1);
    entry.value = text.substr(colon + 2);
    return entry;
}

}  // namespace vantrel
