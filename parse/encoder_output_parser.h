#pragma once

#include "encoder_report_sink.h"
#include "parser_state.h"

namespace vantrel {

// Reads one chunk of encoder output (NUL-terminated, at most 511 bytes, not
// aligned to lines) and updates the state, the panel and the progress.
void ParseEncoderOutput(ParserState& state, EncoderReportSink& sink, const char* chunk);

// Posts progressPercent × 1000, truncated, when posting is enabled.
void PostProgress(const ParserState& state, EncoderReportSink& sink);

}  // namespace vantrel
