#pragma once

#include <string>

#include "encoder/conversion_outcome.h"

namespace vantrel {

// The text for an outcome the user must hear of; empty for outcomes that are
// silent (converted, stopped).
std::string OutcomeText(ConversionOutcome outcome);

// The message box for an outcome: its text, an empty line, then the source
// path. An encoder that cannot be started is told on its own, without a path.
// Empty for outcomes that are silent.
std::string OutcomeMessage(ConversionOutcome outcome, const std::string& sourcePath);

}  // namespace vantrel
