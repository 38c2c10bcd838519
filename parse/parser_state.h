#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "parse/measured_loudness.h"
#include "parse/source_description.h"

namespace vantrel {

// What the parser keeps between the lines of one run. Each run has its own,
// on the thread that runs it.
struct ParserState {
    SourceDescription source;
    // Only a conversion reports progress; a probe does not.
    bool progressEnabled = false;

    // Which input ffmpeg is describing: -1 before the first and after the
    // last. Only input 0, the source, is read.
    int describedInput = -1;
    bool inputNameOpen = false;   // the input's name goes on on the next line
    bool sourceComplete = false;  // its description is over and was reported
    // The kind of each of the source's streams, by index: 'V', 'A', 'S'
    // (subtitles), '?' for any other, '\0' for one not listed (yet).
    std::string streamKinds;
    // The track whose metadata the next lines may hold, the last stream
    // line's: its kind, 'A' or 'S' ('\0' for none), and its place among the
    // tracks of that kind.
    char metadataKind = '\0';
    size_t metadataTrack = 0;
    int metadataIndent = -1;   // of its "Metadata:" heading; -1 until that comes
    bool titleGoesOn = false;  // its last entry was the title, which may take more lines

    int64_t positionHundredths = 0;
    float progressPercent = 0.0f;  // unclamped; meaningful only with a duration
    int32_t pictureDecodeFailures = 0;  // lines reporting a picture that failed to decode
    int32_t soundDecodeFailures = 0;    // the same for sound, which is skipped
    // The loudness meter's summary, at the end of a run that measured; none
    // until both its loudness and its peak were read.
    bool inLoudnessSummary = false;
    std::optional<double> integratedLufs, samplePeakDbfs;
    std::optional<MeasuredLoudness> loudness() const {
        if (!integratedLufs || !samplePeakDbfs) return std::nullopt;
        return MeasuredLoudness{*integratedLufs, *samplePeakDbfs};
    }
    // Lines saying a subtitle's letter has no font here: it is left out.
    int32_t lettersWithoutFont = 0;
    // The last line ffmpeg wrote that may say why it failed.
    std::string lastErrorLine;
};

}  // namespace vantrel
