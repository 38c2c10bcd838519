#include "conversion/conversion_filters.h"

namespace vantrel {
namespace {

// The frame rate comes down first, so that only the frames kept are
// deinterlaced and scaled, and a variable rate becomes a steady one before
// anything else sees it. Only frames flagged interlaced are deinterlaced.
constexpr char kSteadyFrames[] = "fps=12,yadif=deint=interlaced,";

// ffmpeg has already turned the picture upright. `dar` is the shape it is
// shown in, its sample aspect included, which "force_original_aspect_ratio"
// would ignore: one scale both corrects the pixels' shape and sizes the
// picture. Sizes stay even, as the 4:2:0 chroma needs. Lanczos keeps more of
// a large source's detail than the default bicubic when it shrinks it several
// times over, and costs little at 12 small frames a second: about +0.13 dB
// PSNR from a 1080p source, measured by bench/run_bench.sh's picture figure.
constexpr char kFitScale[] =
    "scale=w='min(256,round(192*dar/2)*2)':h='min(192,round(256/dar/2)*2)':flags=lanczos,"
    "pad=256:192:(ow-iw)/2:(oh-ih)/2";
constexpr char kFillScale[] =
    "scale=w='max(256,round(192*dar/2)*2)':h='max(192,round(256/dar/2)*2)':flags=lanczos,"
    "crop=256:192";
constexpr char kStretchScale[] = "scale=256:192:flags=lanczos";

// Square pixels, so the movie's aspect code is the same whatever the source.
constexpr char kSquarePixels[] = ",setsar=1";

std::string PictureChain(PictureFit fit) {
    const char* scale = kStretchScale;
    if (fit == PictureFit::kFit) scale = kFitScale;
    if (fit == PictureFit::kFill) scale = kFillScale;
    return std::string(kSteadyFrames) + scale + kSquarePixels;
}

}  // namespace

EncoderFilters ConversionFilters(const ConversionRequest& request) {
    EncoderFilters filters;
    filters.video = PictureChain(request.fit);
    // Gaps and overlaps in the sound's timestamps are filled or trimmed, so it
    // stays in step with the picture however the source's clock wanders.
    filters.audio = "aresample=22050:async=1";
    if (!request.sourceHasSound) filters.silentSound = "anullsrc=r=22050:cl=mono";
    return filters;
}

}  // namespace vantrel
