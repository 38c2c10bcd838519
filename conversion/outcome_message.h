#pragma once

#include <string>

#include "conversion/conversion_outcome.h"

namespace vantrel {

// The text for an outcome the user must hear of; empty for outcomes that are
// silent (converted, stopped).
std::string OutcomeText(ConversionOutcome outcome);

// The message box for an outcome: its text, an empty line, the source path,
// and, after another empty line, why, when that is known. An encoder that
// cannot be started is told without a path. Empty for outcomes that are silent.
std::string OutcomeMessage(ConversionOutcome outcome, const std::string& sourcePath,
                           const std::string& reason);

}  // namespace vantrel
