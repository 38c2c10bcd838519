#pragma once

#include "conversion/output_format.h"
#include "parse/source_description.h"

namespace vantrel {

// The cheapest work that brings a kind of source to the player's frame for
// the same picture or a better one, chosen by what ffmpeg said of the source.
// A source nobody has described gets the work that suits any source.
struct PictureWork {
    // The decoder makes the picture at 1/2^N of its size: far less work for
    // a large MPEG-2 picture, and for an interlaced one its two fields merged
    // at half height, which is all the player's lines need.
    int reducedResolution = 0;
    // The decoder skips the frames that no other frame is predicted from.
    bool skipUnreferencedFrames = false;
    // The frames flagged interlaced are deinterlaced.
    bool deinterlace = true;
};

PictureWork ChoosePictureWork(const OutputFormat& format, const SourceDescription& source);

}  // namespace vantrel
