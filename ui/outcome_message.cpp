#include "outcome_message.h"

#include "string_table.h"

namespace vantrel {

std::string OutcomeText(ConversionOutcome outcome) {
    switch (outcome) {
        case kConversionFailed: return std::string(LoadStringResource(kIdsConversionFailed));
        case kNotEnoughSpace: return std::string(LoadStringResource(kIdsNotEnoughMemory));
        case kUndecodableSource: return std::string(LoadStringResource(kIdsUnableToDecode));
        default: return {};
    }
}

std::string OutcomeMessage(ConversionOutcome outcome, const std::string& sourcePath) {
    const std::string text = OutcomeText(outcome);
    return text.empty() ? text : text + "\r\n\r\n" + sourcePath;
}

}  // namespace vantrel
