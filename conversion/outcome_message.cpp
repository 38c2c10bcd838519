#include "conversion/outcome_message.h"

#include "conversion/string_table.h"

namespace vantrel {

std::string OutcomeText(ConversionOutcome outcome) {
    switch (outcome) {
        case kNotCarriedOut: return kFailedToExecuteMessage;
        case kConversionFailed: return std::string(LoadStringResource(kIdsConversionFailed));
        case kNotEnoughSpace: return std::string(LoadStringResource(kIdsNotEnoughMemory));
        case kUndecodableSource: return std::string(LoadStringResource(kIdsUnableToDecode));
        case kConverted:
        case kStopped: break;
    }
    return {};
}

std::string OutcomeMessage(ConversionOutcome outcome, const std::string& sourcePath) {
    const std::string text = OutcomeText(outcome);
    if (text.empty() || outcome == kNotCarriedOut) return text;
    return text + "\r\n\r\n" + sourcePath;
}

}  // namespace vantrel
