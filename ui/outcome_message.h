#pragma once

#include <string>

#include "conversion_outcome.h"

namespace vantrel {

// The text for an outcome the user must hear of; empty for outcomes that are
// silent.
std::string OutcomeText(ConversionOutcome outcome);

// The message for an outcome the user must hear of: the string's text, an
// empty line, then the source path. Empty for outcomes that are silent.
std::string OutcomeMessage(ConversionOutcome outcome, const std::string& sourcePath);

}  // namespace vantrel
