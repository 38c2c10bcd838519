#pragma once

#include "parse/encoder_report_sink.h"
#include "parse/parser_state.h"

namespace vantrel {

// Reads one line of encoder output (NUL-terminated, at most 511 bytes; a longer
// line comes in pieces, see LineChunker) and updates the state, the panel and
// the progress.
void ParseEncoderOutput(ParserState& state, EncoderReportSink& sink, const char* line);

// Posts progressPercent × 1000, truncated, when posting is enabled.
void PostProgress(const ParserState& state, EncoderReportSink& sink);

}  // namespace vantrel
