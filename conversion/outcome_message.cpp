#include "conversion/outcome_message.h"

#include "conversion/string_table.h"
#include "platform/translation.h"

namespace vantrel {

std::string OutcomeText(ConversionOutcome outcome) {
    switch (outcome) {
        case ConversionOutcome::kNotStarted: return Text(MessageKey::kFailedToExecute);
        case ConversionOutcome::kFailed: return Text(MessageKey::kConversionFailed);
        case ConversionOutcome::kNoSpace: return Text(MessageKey::kNotEnoughMemory);
        case ConversionOutcome::kUndecodable: return Text(MessageKey::kUnableToDecode);
        case ConversionOutcome::kWillNotFit:
            // TRANSLATORS: a movie that was not converted, since it would not fit where it goes.
            return Tr("Skipped");
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
