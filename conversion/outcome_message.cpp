#include "conversion/outcome_message.h"

#include "conversion/string_table.h"

namespace vantrel {

std::string OutcomeText(ConversionOutcome outcome) {
    switch (outcome) {
        case ConversionOutcome::kNotStarted: return std::string(Text(MessageKey::kFailedToExecute));
        case ConversionOutcome::kFailed: return std::string(Text(MessageKey::kConversionFailed));
        case ConversionOutcome::kNoSpace: return std::string(Text(MessageKey::kNotEnoughMemory));
        case ConversionOutcome::kUndecodable: return std::string(Text(MessageKey::kUnableToDecode));
        case ConversionOutcome::kWillNotFit: return "Skipped";
        case ConversionOutcome::kConverted:
        case ConversionOutcome::kStopped: break;
    }
    return {};
}

std::string OutcomeMessage(ConversionOutcome outcome, const std::string& sourcePath,
                           const std::string& reason) {
    std::string message = OutcomeText(outcome);
    if (message.empty()) return message;
    if (outcome != ConversionOutcome::kNotStarted) message += "\r\n\r\n" + sourcePath;
    if (!reason.empty()) message += "\r\n\r\n" + reason;
    return message;
}

}  // namespace vantrel
