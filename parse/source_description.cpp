#include "parse/source_description.h"

namespace vantrel {

std::string& SourceDescription::Text(PanelField field) {
    switch (field) {
        case PanelField::kDuration: return duration;
        case PanelField::kBitrate: return bitrate;
        case PanelField::kVideoCodec: return videoCodec;
        case PanelField::kPictureSize: return pictureSize;
        case PanelField::kFrameRate: break;
    }
    return frameRate;
}

const std::string& SourceDescription::Text(PanelField field) const {
    return const_cast<SourceDescription*>(this)->Text(field);
}

}  // namespace vantrel
