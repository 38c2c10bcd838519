#pragma once

#include "parse/encoder_report_sink.h"
#include "parse/parser_state.h"

namespace vantrel {

// Reads one line of encoder output (NUL-terminated, at most 511 bytes; a longer
// line comes in pieces, see LineChunker) and updates the state: the source's
// description, the progress and the failures, telling the sink as they come.
void ParseEncoderOutput(ParserState& state, EncoderReportSink& sink, const char* line);

// Reports the progress the state holds, when progress is enabled.
void PostProgress(const ParserState& state, EncoderReportSink& sink);

// The source's description is over: tells the sink, once a run.
void FinishSourceDescription(ParserState& state, EncoderReportSink& sink);

}  // namespace vantrel
