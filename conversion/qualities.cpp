#include "conversion/qualities.h"

namespace vantrel {

std::optional<Quality> QualityNamed(std::string_view name) {
    for (const Quality& quality : kQualities) {
        if (quality.name == name) return quality;
    }
    return std::nullopt;
}

std::optional<Quality> QualityOfRadio(int radioId) {
    for (const Quality& quality : kQualities) {
        if (quality.radioId == radioId) return quality;
    }
    return std::nullopt;
}

}  // namespace vantrel
