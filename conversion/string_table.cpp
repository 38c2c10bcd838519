#include "conversion/string_table.h"

namespace vantrel {

std::string_view Text(MessageKey key) {
    switch (key) {
        case MessageKey::kAbout: return "About Vantrel Video Converter";
        case MessageKey::kConversionFailed: return "Conversion Failed";
        case MessageKey::kNotEnoughMemory: return "Error, Not enough Memory";
        case MessageKey::kUnableToDecode: return "Unable to decode source video";
        case MessageKey::kEncode: return "Encode";
        case MessageKey::kStop: return "STOP";
        case MessageKey::kFailedToExecute:
            return "Failed to execute video conversion component!! Please re-install.";
    }
    return {};
}

}  // namespace vantrel
