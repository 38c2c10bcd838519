#include "conversion/picture_work.h"

namespace vantrel {
namespace {

// MPEG-1 and MPEG-2 decoders make a picture of half the size nearly for the
// cost of the bits alone. Measured on a 20 s DVD (720x480, 16:9, interlaced):
// 0.74 s against 0.96 s with the full picture deinterlaced, and 29.50 dB
// PSNR against 29.43 dB. The motion JPEG decoder has the same ability but
// spends its time elsewhere: 2.24 s against 2.25 s on a 720p camera clip.
bool DecodesAtHalfSizeCheaply(const std::string& codec) {
    return codec == "mpeg2video" || codec == "mpeg1video";
}

// These decoders can leave out the frames that no other frame refers to.
// Encoders of both mark every other frame so (x264's and x265's B-frame
// pyramids, phones' hierarchical B-frames), which leaves at least 15 of a
// 30 fps source's frames a second, at most two source frames apart, so every
// frame the player shows is within one source frame of its moment. MPEG-2
// was measured and left out: its B-frames come in pairs, which left 10 a
// second of a DVD's 30, three source frames apart.
bool SkipsUnreferencedFramesWell(const std::string& codec) {
    return codec == "h264" || codec == "hevc";
}

// "Well above" the player's rate: 29.97 fps and faster.
constexpr double kManyFramesPerShown = 2.4;

}  // namespace

PictureWork ChoosePictureWork(const OutputFormat& format, const SourceDescription& source) {
    PictureWork work;
    if (!source.hasPicture) return work;
    const bool interlaced =
        source.fieldOrder == FieldOrder::kTopFirst || source.fieldOrder == FieldOrder::kBottomFirst;
    if (DecodesAtHalfSizeCheaply(source.videoCodecId) && source.pictureWidth >= 2 * format.width &&
        source.pictureHeight >= 2 * format.height) {
        work.reducedResolution = 1;
        // The half-size picture of an interlaced frame has its fields merged
        // already; deinterlacing it again cost 1.1 dB.
        work.deinterlace = false;
    }
    if (SkipsUnreferencedFramesWell(source.videoCodecId) && !interlaced &&
        source.framesPerSecond >= kManyFramesPerShown * format.framesPerSecond) {
        work.skipUnreferencedFrames = true;
    }
    return work;
}

}  // namespace vantrel
