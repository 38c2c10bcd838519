#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "conversion/conversion_outcome.h"
#include "parse/source_description.h"

namespace vantrel {

// Everything a front end shows of one conversion once it is over.
struct ConversionReport {
    ConversionOutcome outcome = ConversionOutcome::kNotStarted;
    SourceDescription source;  // as ffmpeg described it; empty when it could not
    std::string target;
    uint64_t targetBytes = 0;  // kConverted only
    double seconds = 0.0;      // from the call to its end
    // What a user should know of a conversion that went through: "the source
    // ends at 0:04 of its 0:08".
    std::vector<std::string> notes;
    // Why it failed, in ffmpeg's or the system's words; empty when unknown.
    std::string reason;
};

// Why a probe found no description.
struct ProbeFailure {
    ConversionOutcome outcome = ConversionOutcome::kUndecodable;
    std::string reason;
};

}  // namespace vantrel
