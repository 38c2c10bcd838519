#include "parse/stream_line.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "parse/text_scan.h"

namespace vantrel {
namespace {

// The panel's field buffer holds 255 characters and a terminator.
constexpr size_t kFieldBufferSize = 256;

std::string Clip(std::string_view field) {
    return std::string(field.substr(0, kFieldBufferSize - 1));
}

// Fields of one line, split at commas that stand outside (...) and [...], with
// the blank after each separating comma removed.
std::vector<std::string_view> SplitStreamLine(const char* text) {
    std::vector<std::string_view> fields;
    const char* start = text;
    int depth = 0;
    const char* p = text;
    for (; *p != '\0' && *p != '\r' && *p != '\n'; ++p) {
        if (*p == '(' || *p == '[') {
            ++depth;
        } else if ((*p == ')' || *p == ']') && depth > 0) {
            --depth;
        } else if (*p == ',' && depth == 0) {
            fields.emplace_back(start, static_cast<size_t>(p - start));
            start = p + 1;
            while (*start == ' ') ++start;
            p = start - 1;
        }
    }
    fields.emplace_back(start, static_cast<size_t>(p - start));
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

}  // namespace

VideoStreamFields ReadVideoStreamFields(const char* text) {
    const std::vector<std::string_view> fields = SplitStreamLine(text);
    VideoStreamFields result{Clip(WithoutFourcc(fields[0])), "", ""};
    std::string_view guessedRate;
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
    return result;
}

}  // namespace vantrel
