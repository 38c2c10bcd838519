#pragma once

#include <cstdint>
#include <string>
#include <vector>

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
    // The kind of each of the source's streams, by index: 'V', 'A' or '?'.
    std::string streamKinds;

    int64_t positionHundredths = 0;
    float progressPercent = 0.0f;  // unclamped; meaningful only with a duration
    int32_t pictureDecodeFailures = 0;  // lines reporting a picture that failed to decode
    int32_t soundDecodeFailures = 0;    // the same for sound, which is skipped
    // The last line ffmpeg wrote that may say why it failed.
    std::string lastErrorLine;
};

}  // namespace vantrel
