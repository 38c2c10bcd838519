#include "conversion/string_table.h"

namespace vantrel {

std::string_view LoadStringResource(int id) {
    switch (id) {
        case kIdsAbout: return "About Vantrel Video Converter";
        case kIdsFilename: return "Filename";
        case kIdsConverting: return "Converting Video";
        case kIdsConversionFailed: return "Conversion Failed";
        case kIdsNotEnoughMemory: return "Error, Not enough Memory";
        case kIdsUnableToDecode: return "Unable to decode source video";
        case kIdsEncode: return "Encode";
        case kIdsStop: return "STOP";
        default: return {};
    }
}

}  // namespace vantrel
