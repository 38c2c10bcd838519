#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace vantrel {

// One frame of a movie as the player will show it: rows of RGB bytes, the
// top row first. A picture without pixels is a blank preview.
struct PreviewPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // width * height * 3 bytes

    bool empty() const { return rgb.empty(); }
    bool operator==(const PreviewPicture&) const = default;
};

// How many times its own size a picture of `width` x `height` pixels is
// shown in a room of `roomWidth` x `roomHeight` physical pixels: the largest
// whole multiple that fits, so that each of its pixels stays a square of the
// screen's; once at least, should the room be short.
inline int WholeScale(int width, int height, int roomWidth, int roomHeight) {
    if (width <= 0 || height <= 0) return 1;
    return std::max(1, std::min(roomWidth / width, roomHeight / height));
}

}  // namespace vantrel
