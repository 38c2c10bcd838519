#pragma once

namespace vantrel {

// The information panel's texts. The values are the window's control ids.
enum class PanelField : int {
    kDuration = 1005,
    kBitrate = 1006,
    kVideoCodec = 1007,
    kPictureSize = 1008,
    kFrameRate = 1009,
};

}  // namespace vantrel
