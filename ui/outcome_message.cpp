#include "outcome_message.h"

#include "string_table.h"

namespace vantrel {

std::string OutcomeMessage(ConversionOutcome outcome, const std::string& sourcePath) {
    int id;
    switch (outcome) {
        case kConversionFailed: id = kIdsConversionFailed; break;
        case kNotEnoughSpace: id = kIdsNotEnoughMemory; break;
        case kUndecodableSource: id = kIdsUnableToDecode; break;
        default: return {};
    }
    return std::string(LoadStringResource(id)) + "\r\n\r\n" + sourcePath;
}

}  // namespace vantrel
