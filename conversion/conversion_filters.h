#pragma once

#include "encoder/command_line.h"
#include "conversion/conversion_request.h"

namespace vantrel {

// The filters that turn the request's source into the player's movie: 12 fps,
// 256x192 with square pixels in the request's fit, mono 22050 Hz sound (a
// silent track when the source has none). They use only what ffmpeg 4.1 and
// later offer.
EncoderFilters ConversionFilters(const ConversionRequest& request);

}  // namespace vantrel
