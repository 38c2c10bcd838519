#include "parse/stream_line.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <vector>

#include "parse/text_scan.h"

namespace vantrel {
namespace {

// The panel's field buffer holds 255 characters and a terminator.
constexpr size_t kFieldBufferSize = 256;

std::string Clip(std::string_view field) {
    return std::string(field.substr(0, kFieldBufferSize - 1));
}

// Fields of a stream's description, split at commas that stand outside (...)
// and [...], with the blank after each separating comma removed.
std::vector<std::string_view> SplitStreamLine(std::string_view text) {
    std::vector<std::string_view> fields;
    size_t start = 0;
    int depth = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '(' || text[i] == '[') {
            ++depth;
        } else if ((text[i] == ')' || text[i] == ']') && depth > 0) {
            --depth;
        } else if (text[i] == ',' && depth == 0) {
            fields.push_back(text.substr(start, i - start));
            start = i + 1;
            while (start < text.size() && text[start] == ' ') ++start;
            i = start - 1;
        }
    }
    fields.push_back(text.substr(std::min(start, text.size())));
    return fields;
}

// "1920x1080" at the start of a field, as ffmpeg writes a picture size.
size_t PictureSizeLength(std::string_view field) {
    size_t i = 0;
    while (i < field.size() && IsDigit(field[i])) ++i;
    if (i == 0 || i >= field.size() || field[i] != 'x') return 0;
    size_t j = i + 1;
    while (j < field.size() && IsDigit(field[j])) ++j;
    return j == i + 1 ? 0 : j;
}

// One number of a picture size, kept within what a picture can be.
int Dimension(const char* digits) {
    return static_cast<int>(std::clamp<int64_t>(ParseInt64(digits), 0, 1 << 20));
}

bool EndsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// ffmpeg follows the codec with its fourcc: "h264 (High) (avc1 / 0x31637661)".
// The fourcc says nothing to a user; the profile does.
std::string_view WithoutFourcc(std::string_view codec) {
    const size_t open = codec.rfind(" (");
    if (open != std::string_view::npos && EndsWith(codec, ")") &&
        codec.find(" / 0x", open) != std::string_view::npos) {
        return codec.substr(0, open);
    }
    return codec;
}

// The flags ffmpeg 4.1 to 7.1 may write after a stream's description, in the
// order it writes them. A bracket at the end that is none of these belongs to
// the description: "subrip (srt)", "hdmv_pgs_subtitle (pgssub)".
constexpr std::string_view kFlagWords[] = {
    "default",         "dub",           "original",     "comment",
    "lyrics",          "karaoke",       "forced",       "hearing impaired",
    "visual impaired", "clean effects", "attached pic", "timed thumbnails",
    "captions",        "descriptions",  "metadata",     "dependent",
    "still image",     "non-diegetic",  "multilayer"};

// Takes the flags off the description's end and notes those that matter.
std::string_view WithoutFlags(std::string_view description, StreamFlags& flags) {
    while (EndsWith(description, ")")) {
        const size_t open = description.rfind(" (");
        if (open == std::string_view::npos) break;
        const std::string_view word = description.substr(open + 2, description.size() - open - 3);
        if (std::ranges::find(kFlagWords, word) == std::end(kFlagWords)) break;
        if (word == "default") flags.isDefault = true;
        if (word == "forced") flags.isForced = true;
        if (word == "comment") flags.isComment = true;
        if (word == "hearing impaired") flags.isHearingImpaired = true;
        if (word == "visual impaired") flags.isVisualImpaired = true;
        description = description.substr(0, open);
    }
    return description;
}

// The channels of each layout ffmpeg 4.1 to 7.1 names ("ffmpeg -layouts").
struct NamedLayout {
    std::string_view name;
    int channels;
};
constexpr NamedLayout kNamedLayouts[] = {
    {"mono", 1},       {"stereo", 2},         {"2.1", 3},
    {"3.0", 3},        {"3.0(back)", 3},      {"4.0", 4},
    {"quad", 4},       {"quad(side)", 4},     {"3.1", 4},
    {"5.0", 5},        {"5.0(side)", 5},      {"4.1", 5},
    {"5.1", 6},        {"5.1(side)", 6},      {"6.0", 6},
    {"6.0(front)", 6}, {"3.1.2", 6},          {"hexagonal", 6},
    {"6.1", 7},        {"6.1(back)", 7},      {"6.1(front)", 7},
    {"7.0", 7},        {"7.0(front)", 7},     {"7.1", 8},
    {"7.1(wide)", 8},  {"7.1(wide-side)", 8}, {"5.1.2", 8},
    {"octagonal", 8},  {"cube", 8},           {"5.1.4", 10},
    {"7.1.2", 10},     {"7.1.4", 12},         {"7.2.3", 12},
    {"9.1.4", 14},     {"hexadecagonal", 16}, {"downmix", 2},
    {"22.2", 24}};

// "6 channels", and 7.1's "6 channels (FL+FR+FC+LFE+BC+TC)", for a layout
// without a name: the count; 0 for any other text.
int CountedChannels(std::string_view layout) {
    size_t digits = 0;
    while (digits < layout.size() && IsDigit(layout[digits])) ++digits;
    const std::string_view rest = layout.substr(digits);
    if (digits == 0 || digits > 4 || (rest != " channels" && !rest.starts_with(" channels ("))) {
        return 0;
    }
    return static_cast<int>(ParseInt64(std::string(layout.substr(0, digits)).c_str()));
}

std::string_view LineText(const char* text) {
    return std::string_view(text, std::strcspn(text, "\r\n"));
}

// "29.97 fps", "25 tbr", "1k tbr": the number, 0 for anything else.
double RateNumber(std::string_view field) {
    double rate = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), rate);
    if (error != std::errc() || !(rate > 0) || rate > 1e6) return 0;
    return end != field.data() + field.size() && *end == 'k' ? rate * 1000 : rate;
}

// The pixel format's brackets end with the field order: "(tv, top first)",
// "(progressive)". A field order that is "coded first (swapped)" is shown the
// other way round.
FieldOrder ReadFieldOrder(std::string_view pixelFormat) {
    const auto has = [&](std::string_view words) { return pixelFormat.find(words) != std::string_view::npos; };
    if (has("top coded first")) return FieldOrder::kBottomFirst;
    if (has("bottom coded first")) return FieldOrder::kTopFirst;
    if (has("top first")) return FieldOrder::kTopFirst;
    if (has("bottom first")) return FieldOrder::kBottomFirst;
    if (has("progressive")) return FieldOrder::kProgressive;
    return FieldOrder::kUnknown;
}

}  // namespace

std::optional<StreamLine> ReadStreamLine(const char* line) {
    while (*line == ' ') ++line;
    constexpr std::string_view kStart = "Stream #0:";
    const std::string_view text = LineText(line);
    if (!text.starts_with(kStart)) return std::nullopt;
    StreamLine stream;
    size_t at = kStart.size();
    while (at < text.size() && IsDigit(text[at])) ++at;
    if (at == kStart.size()) return std::nullopt;
    stream.index = ParseInt64(line + kStart.size());
    // The stream's id in the container, when it has one: "[0x1100]".
    if (at < text.size() && text[at] == '[') {
        at = text.find(']', at);
        if (at == std::string_view::npos) return std::nullopt;
        ++at;
    }
    if (at < text.size() && text[at] == '(') {
        const size_t close = text.find(')', at);
        if (close == std::string_view::npos) return std::nullopt;
        stream.language = text.substr(at + 1, close - at - 1);
        at = close + 1;
    }
    // "und", undetermined, is how containers leave a language unsaid.
    if (stream.language == "und") stream.language = {};
    if (text.substr(at, 2) != ": ") return std::nullopt;
    at += 2;
    const size_t colon = text.find(": ", at);
    if (colon == std::string_view::npos) return std::nullopt;
    stream.kind = text.substr(at, colon - at);
    stream.description = WithoutFlags(text.substr(colon + 2), stream.flags);
    return stream;
}

VideoStreamFields ReadVideoStreamFields(std::string_view description) {
    const std::vector<std::string_view> fields = SplitStreamLine(description);
    VideoStreamFields result{Clip(WithoutFourcc(fields[0])), "", ""};
    std::string_view guessedRate;
    if (fields.size() > 1) result.fieldOrder = ReadFieldOrder(fields[1]);
    for (size_t i = 1; i < fields.size(); ++i) {
        const size_t sizeLength = PictureSizeLength(fields[i]);
        if (sizeLength != 0 && result.pictureSize.empty()) {
            result.pictureSize = Clip(fields[i].substr(0, sizeLength));
            result.width = Dimension(result.pictureSize.c_str());
            result.height = Dimension(result.pictureSize.c_str() + result.pictureSize.find('x') + 1);
        } else if (EndsWith(fields[i], " fps") && result.frameRate.empty()) {
            result.frameRate = Clip(fields[i]);
        } else if (EndsWith(fields[i], " tbr") && guessedRate.empty()) {
            guessedRate = fields[i];
        }
    }
    // Some containers (MPEG transport streams, short clips) carry no average
    // rate, and ffmpeg prints only the rate it guessed from the time stamps,
    // "25 tbr". For a movie that is its frame rate, so it reads as one.
    if (result.frameRate.empty() && !guessedRate.empty()) {
        guessedRate.remove_suffix(3);
        result.frameRate = Clip(std::string(guessedRate) + "fps");
    }
    result.framesPerSecond = RateNumber(result.frameRate);
    return result;
}

// ffmpeg writes the channels right after the codec and its sample rate:
// "aac (LC), 48000 Hz, 5.1(side), fltp, 384 kb/s"; with no sample rate known,
// right after the codec.
SoundStreamFields ReadSoundStreamFields(std::string_view description) {
    const std::vector<std::string_view> fields = SplitStreamLine(description);
    size_t at = 1;
    if (at < fields.size() && EndsWith(fields[at], " Hz")) ++at;
    SoundStreamFields result;
    if (at >= fields.size()) return result;
    result.layout = Clip(fields[at]);
    for (const NamedLayout& named : kNamedLayouts) {
        if (named.name == fields[at]) result.channels = named.channels;
    }
    if (result.channels == 0) result.channels = CountedChannels(fields[at]);
    return result;
}

std::string ReadSubtitleCodec(std::string_view description) {
    return Clip(description.substr(0, description.find_first_of(" ,")));
}

}  // namespace vantrel
