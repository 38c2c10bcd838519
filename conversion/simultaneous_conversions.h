#pragma once

namespace vantrel {

// How many conversions run at once unless the user says otherwise: half the
// cores, at least one. Decoding and encoding already keep a core busy each,
// and the rest of the machine stays usable.
int DefaultSimultaneousConversions();

// The threads each of `simultaneous` conversions may take, so that together
// they take each core once (ConversionRequest::threads). Measured with two
// 20 s DivX films side by side on 2 cores: each taking both cores spent its
// time handing frames between threads that had no core to run on.
int ThreadsPerConversion(int simultaneous);

}  // namespace vantrel
