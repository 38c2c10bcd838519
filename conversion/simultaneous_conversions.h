#pragma once

namespace vantrel {

// How many conversions run at once unless the user says otherwise: half the
// cores, at least one. Decoding and encoding already keep a core busy each,
// and the rest of the machine stays usable.
int DefaultSimultaneousConversions();

}  // namespace vantrel
