#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "parse/source_tracks.h"
#include "parse/stream_line.h"

namespace vantrel {

// The facts of a sound or subtitle track that its stream line gives: all but
// the title, which comes in the stream's metadata.
SoundTrack ReadSoundTrack(const StreamLine& stream);
SubtitleTrack ReadSubtitleTrack(const StreamLine& stream);

// How far "Metadata:" stands indented, the heading of a block of metadata;
// none for any other line.
std::optional<size_t> MetadataHeadingIndent(const char* line);

// One entry of a metadata block, "      title           : Director's commentary".
// A value that holds line ends goes on in lines of their own with an empty
// key. The views point into the line read, without its line end.
struct MetadataEntry {
    size_t indent = 0;
    std::string_view key;  // "title", "handler_name"; empty when the value goes on
    std::string_view value;
};

// None for a line that is no "key : value".
std::optional<MetadataEntry> ReadMetadataEntry(const char* line);

}  // namespace vantrel
