#include "conversion/encoder_arguments.h"

#include <algorithm>
#include <cstdio>

#include "conversion/picture_work.h"
#include "conversion/sound_filters.h"
#include "conversion/subtitle_filters.h"

namespace vantrel {
namespace {

using Words = std::vector<std::string>;

std::string Text(int number) { return std::to_string(number); }

// Seconds as ffmpeg takes them, to the millisecond.
std::string Seconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", std::max(seconds, 0.0));
    return text;
}

// The part of the source a run takes: ffmpeg seeks in the source to the
// keyframe before the start, decodes from there and drops what comes before
// the start exactly, so a start deep into a film costs no decoding up to it;
// the movie's timestamps then begin at 0. The length ends it.
void TakeThePart(EncoderArguments& arguments, const Trim& trim, const SourceDescription& source) {
    if (trim.StartSeconds() > 0) {
        arguments.inputs.insert(std::find(arguments.inputs.begin(), arguments.inputs.end(), "-i"),
                                {"-ss", Seconds(trim.StartSeconds())});
    }
    const std::optional<double> duration =
        source.durationHundredths ? std::optional(static_cast<double>(*source.durationHundredths) / 100.0)
                                  : std::nullopt;
    if (trim.end) {
        if (const std::optional<double> length = trim.Length(duration)) {
            arguments.target.insert(arguments.target.begin(), {"-t", Seconds(*length)});
        }
    }
}

// ffmpeg's own file protocol takes the rest of the word literally, so a name
// like "-x.avi" or "a:b.avi" is just a file.
std::string AsFile(const std::string& path) { return "file:" + path; }

// Repeated decoding errors must not be folded into "Last message repeated N
// times", or they would not be counted.
const Words kGeneral = {"-y", "-loglevel", "repeat+info"};

// The source's decoder may leave out the deblocking of frames that no other
// frame is predicted from: nothing carries their error on, and most of them
// are dropped on the way to 12 fps. Measured on a 1080p h264 source, the
// picture at 256x192 lost under 0.01 dB PSNR. Deblocking every frame
// ("all") would have saved more time but cost 3.4 dB, since the skipped
// error then spreads along the chain of predicted frames. Decoders that
// do not deblock ignore it.
const Words kDecoderShortcut = {"-skip_loop_filter", "noref"};

// The picture made for a source without one is drawn from its sound at this
// rate, this many samples a column.
constexpr int kWaveSampleRate = 48000;
constexpr int kWaveSamplesPerColumn = 16;

// The deinterlacer needs a picture of at least 3 columns and 3 lines.
constexpr int kSmallestDeinterlaced = 3;

// ffmpeg has already turned the picture upright. `dar` is the shape it is
// shown in, its sample aspect included, which "force_original_aspect_ratio"
// would ignore: one scale both corrects the pixels' shape and sizes the
// picture. Sizes stay even, as the 4:2:0 chroma needs. Lanczos keeps more of
// a large source's detail than the default bicubic when it shrinks it several
// times over, and costs little at 12 small frames a second: about +0.13 dB
// PSNR from a 1080p source, measured by bench/run_bench.sh's picture figure.
std::string Scale(const OutputFormat& format, PictureFit fit) {
    const std::string w = Text(format.width), h = Text(format.height);
    const std::string lanczos = ":flags=lanczos";
    if (fit == PictureFit::kStretch) return "scale=" + w + ":" + h + lanczos;
    const std::string bound = fit == PictureFit::kFit ? "min" : "max";
    const std::string scale = "scale=w='" + bound + "(" + w + ",round(" + h + "*dar/2)*2)':h='" +
                              bound + "(" + h + ",round(" + w + "/dar/2)*2)'" + lanczos;
    if (fit == PictureFit::kFit) return scale + ",pad=" + w + ":" + h + ":(ow-iw)/2:(oh-ih)/2";
    return scale + ",crop=" + w + ":" + h;
}

// The frame rate comes down first, so that only the frames kept are
// deinterlaced and scaled, and a variable rate becomes a steady one before
// anything else sees it. Only frames flagged interlaced are deinterlaced.
// Subtitles drawn as pictures are laid on the source's picture, which they
// were drawn for, so they keep their place and proportion; text is drawn
// last, on the player's own frame, at a size made for it. Square pixels last,
// so the movie's aspect code is the same whatever the source.
std::string PictureChain(const OutputFormat& format, PictureFit fit,
                         const SourceDescription& source, const PictureWork& work,
                         const SubtitleDrawing& subtitles, double start) {
    const bool tiny = source.pictureWidth > 0 && source.pictureHeight > 0 &&
                      (source.pictureWidth < kSmallestDeinterlaced ||
                       source.pictureHeight < kSmallestDeinterlaced);
    std::string chain = "fps=" + Text(format.framesPerSecond);
    if (!tiny && work.deinterlace) chain += ",yadif=deint=interlaced";
    if (subtitles.kind == ChosenSubtitles::Kind::kImageTrack) {
        // The subtitles' pictures come and go; between them the source's
        // picture passes as it is.
        chain = "[0:V:0]" + chain + "[picture];[picture][0:s:" + Text(subtitles.track) +
                "]overlay=eof_action=pass,";
    } else {
        chain += ",";
    }
    chain += Scale(format, fit);
    // Text subtitles are timed on the source's clock, which a seek to the
    // start has set back to 0: the frames reach the subtitles at the
    // source's time, and get their own back after.
    const std::string text = TextSubtitlesFilter(format, subtitles);
    if (!text.empty() && start > 0) {
        chain += ",setpts=PTS+" + Seconds(start) + "/TB," + text + ",setpts=PTS-" + Seconds(start) + "/TB";
    } else if (!text.empty()) {
        chain += "," + text;
    }
    return chain + ",setsar=1";
}

// How the MPEG-1 encoder spends its bits, not which tools the stream uses:
// no B-frames and the same GOP, so every player of the old files plays the new
// ones. Trellis quantization, and key frames a little finer, since the frames
// after them are predicted from them: with the lanczos scale, +0.4 to +0.5 dB
// PSNR at the same size on every kind of source (bench/source_classes_bench.sh).
// Rate-distortion macroblock decisions ("-mbd rd") were dropped: they cost
// about 10 % of a cheap source's time for at most +0.03 dB, and nothing with
// trellis on. The encoder takes one thread: its frames are too small to share
// out, and the decoder has the other cores.
const Words kEncoderDecisions = {"-threads", "1", "-trellis", "1", "-i_qfactor", "0.71"};

// Seconds a subtitle's cue may have begun before the moment a preview shows.
constexpr double kLongestCue = 10.0;

// 12 fps is none of the frame rates the MPEG-1 standard lists: the encoder
// takes it only when allowed to go beyond the standard, which the player's
// format does.
const Words kBeyondTheStandard = {"-strict", "-2"};

}  // namespace

Words EncoderArguments::Words() const {
    vantrel::Words all;
    for (const vantrel::Words* part : {&general, &inputs, &maps, &filters, &encoderOptions, &target}) {
        all.insert(all.end(), part->begin(), part->end());
    }
    return all;
}

EncoderArguments ProbeArguments(const std::string& sourcePath) {
    EncoderArguments arguments;
    arguments.general = kGeneral;
    arguments.inputs = kDecoderShortcut;
    arguments.inputs.insert(arguments.inputs.end(), {"-i", AsFile(sourcePath)});
    return arguments;
}

SourceDescription AssumedSource() {
    SourceDescription source;
    source.read = true;
    source.hasPicture = true;
    source.soundTracks.resize(1);
    return source;
}

EncoderArguments ConversionArguments(const OutputFormat& format, const ConversionRequest& request,
                                     const SourceDescription& source, int soundTrack,
                                     const MeasuredLoudness* loudness,
                                     const SubtitleDrawing& subtitles,
                                     const std::string& writtenPath) {
    EncoderArguments arguments = ProbeArguments(request.sourcePath);

    // The sound: the track chosen; a source without sound gets silence,
    // since a player may refuse a movie without any.
    const SoundTrack* track = nullptr;
    if (soundTrack >= 0 && static_cast<size_t>(soundTrack) < source.soundTracks.size()) {
        track = &source.soundTracks[static_cast<size_t>(soundTrack)];
    }
    const std::string sound = "0:a:" + Text(std::max(soundTrack, 0));
    std::string soundMap = sound;
    if (!source.hasSound()) {
        const std::string silence = "anullsrc=r=" + Text(format.soundSampleRate) +
                                    ":cl=" + (format.soundChannels == 1 ? "mono" : "stereo");
        arguments.inputs.insert(arguments.inputs.end(), {"-f", "lavfi", "-i", silence});
        soundMap = "1:a:0";
    }

    // The source's decoder: the shortcuts its kind allows, and its share of
    // the cores. Subtitles drawn as pictures are made for the full picture.
    const PictureWork work = subtitles.kind == ChosenSubtitles::Kind::kImageTrack
                                 ? PictureWork{}
                                 : ChoosePictureWork(format, source);
    vantrel::Words decoding;
    if (work.skipUnreferencedFrames) decoding.insert(decoding.end(), {"-skip_frame", "noref"});
    if (work.reducedResolution > 0) decoding.insert(decoding.end(), {"-lowres", Text(work.reducedResolution)});
    if (request.threads > 0) decoding.insert(decoding.end(), {"-threads", Text(request.threads)});
    arguments.inputs.insert(std::find(arguments.inputs.begin(), arguments.inputs.end(), "-i"),
                            decoding.begin(), decoding.end());

    if (source.hasPicture) {
        const std::string chain =
            PictureChain(format, request.fit, source, work, subtitles, request.trim.StartSeconds());
        if (subtitles.kind == ChosenSubtitles::Kind::kImageTrack) {
            arguments.filters = {"-filter_complex", chain + "[movie]"};
            arguments.maps = {"-map", "[movie]", "-map", soundMap};
        } else {
            arguments.filters = {"-vf", chain};
            arguments.maps = {"-map", "0:V:0", "-map", soundMap};
        }
        // Silence never ends by itself: the movie ends with the picture.
        if (!source.hasSound()) arguments.maps.push_back("-shortest");
    } else {
        // A player needs a picture to play a movie at all. One without is
        // given one made from its sound, so that it lasts exactly as long:
        // its wave drawn in black on black, then its cover, if it has one,
        // on top. 16 samples a column at 48 kHz make the frame rate's
        // frames. The frames are kept as made, or ffmpeg would add one.
        const int columns = kWaveSampleRate / (format.framesPerSecond * kWaveSamplesPerColumn);
        std::string graph = "[" + sound + "]aresample=" + Text(kWaveSampleRate) +
                            ",showwaves=s=" + Text(columns) + "x" + Text(format.height) +
                            ":n=" + Text(kWaveSamplesPerColumn) + ":colors=black,pad=" +
                            Text(format.width) + ":" + Text(format.height) + ",format=yuv420p";
        if (source.hasCoverArt) {
            graph += "[black];[0:v:0]" + Scale(format, request.fit) +
                     ",format=yuv420p[cover];[black][cover]overlay=x=(W-w)/2:y=(H-h)/2:eof_action=repeat";
        }
        arguments.filters = {"-filter_complex", graph + ",setsar=1[picture]"};
        arguments.maps = {"-map", "[picture]", "-map", sound, "-vsync", "passthrough"};
    }
    arguments.filters.insert(arguments.filters.end(),
                             {"-af", SoundChain(format, track, loudness)});

    arguments.encoderOptions = {"-c:v", std::string(format.videoCodec), "-b:v",
                                Text(request.videoKilobits) + "k"};
    arguments.encoderOptions.insert(arguments.encoderOptions.end(), kEncoderDecisions.begin(),
                                    kEncoderDecisions.end());
    arguments.encoderOptions.insert(arguments.encoderOptions.end(), kBeyondTheStandard.begin(),
                                    kBeyondTheStandard.end());
    arguments.encoderOptions.insert(
        arguments.encoderOptions.end(),
        {"-c:a", std::string(format.soundCodec), "-b:a", Text(format.soundKilobits) + "k", "-ar",
         Text(format.soundSampleRate), "-ac", Text(format.soundChannels)});

    arguments.target = {"-f", std::string(format.container), AsFile(writtenPath)};
    TakeThePart(arguments, request.trim, source);
    return arguments;
}

EncoderArguments LoudnessArguments(const OutputFormat& format, const ConversionRequest& request,
                                   const SourceDescription& source, int soundTrack) {
    EncoderArguments arguments = ProbeArguments(request.sourcePath);
    const size_t index = static_cast<size_t>(std::max(soundTrack, 0));
    const SoundTrack track = index < source.soundTracks.size() ? source.soundTracks[index] : SoundTrack{};
    arguments.maps = {"-map", "0:a:" + Text(static_cast<int>(index))};
    arguments.filters = {"-af", LoudnessMeter(format, track)};
    arguments.target = {"-f", "null", "-"};
    // Only the part kept is heard.
    TakeThePart(arguments, request.trim, source);
    return arguments;
}

EncoderArguments PreviewArguments(const OutputFormat& format, const ConversionRequest& request,
                                  const SourceDescription& source, const SubtitleDrawing& subtitles,
                                  double seconds, PreviewImage kind, const std::string& imagePath) {
    // The moment is the source's own, wherever the movie starts.
    ConversionRequest whole = request;
    whole.trim = {};
    EncoderArguments arguments =
        ConversionArguments(format, whole, source, 0, nullptr, subtitles, imagePath);
    // ffmpeg seeks in the source to the keyframe before the moment and
    // decodes from there; the source's own timestamps are kept, so that the
    // subtitles drawn are those of that moment.
    // A picture subtitle is one packet where its cue begins, which a seek
    // past it would skip: the seek then lands well before the moment, and
    // the frames up to it are decoded and dropped.
    const bool pictureSubtitles = subtitles.kind == ChosenSubtitles::Kind::kImageTrack;
    const auto input = std::find(arguments.inputs.begin(), arguments.inputs.end(), "-i");
    arguments.inputs.insert(input, {"-ss", Seconds(pictureSubtitles ? seconds - kLongestCue : seconds)});
    arguments.general.push_back("-copyts");
    // Only the picture: the sound's map and filters go.
    std::vector<std::string> maps;
    for (size_t i = 0; i + 1 < arguments.maps.size(); i += 2) {
        if (arguments.maps[i] == "-map" && i == 0) maps = {"-map", arguments.maps[i + 1]};
    }
    if (!source.hasPicture) maps.insert(maps.end(), {"-vsync", "passthrough"});
    arguments.maps = maps;
    const auto af = std::find(arguments.filters.begin(), arguments.filters.end(), "-af");
    arguments.filters.erase(af, arguments.filters.end());
    arguments.encoderOptions = {"-frames:v", "1", "-an"};
    if (pictureSubtitles) arguments.encoderOptions.insert(arguments.encoderOptions.begin(), {"-ss", Seconds(seconds)});
    if (kind == PreviewImage::kPng) {
        arguments.encoderOptions.insert(arguments.encoderOptions.end(), {"-c:v", "png"});
        arguments.target = {"-f", "image2", "-update", "1", AsFile(imagePath)};
    } else {
        arguments.encoderOptions.insert(arguments.encoderOptions.end(),
                                        {"-c:v", "rawvideo", "-pix_fmt", "rgb24"});
        arguments.target = {"-f", "rawvideo", AsFile(imagePath)};
    }
    return arguments;
}

}  // namespace vantrel
