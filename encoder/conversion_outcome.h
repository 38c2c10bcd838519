#pragma once

#include <cstdint>

namespace vantrel {

// What a caller of RunConversion learns. 3 is never produced.
enum ConversionOutcome : int32_t {
    kConverted = 0,         // target written (or a probe that ran)
    kNotCarriedOut = 1,     // the encoder could not be started; the runner said so
    kStopped = 2,           // stopped on request; the partial target is gone
    kConversionFailed = 4,  // no usable target: missing, empty, or the encoder failed
    kNotEnoughSpace = 5,    // the target's file system filled up
    kUndecodableSource = 6, // too many decoding failures
};

}  // namespace vantrel
