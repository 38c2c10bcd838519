#pragma once

#include <string>

#include "platform/expected.h"

namespace vantrel {

// The converted file's path, derived from the source's: the source with its
// file name lower-cased and its extension replaced ("/m/Trip.AVI" gives
// "/m/trip.d3v"). Folders keep their case, since file names on Linux are
// case-sensitive. With an `outputFolder`, the same name in that folder. The
// reason, in a user's words, for a name that is not one of a movie the
// converter takes.
Expected<std::string> TargetPathFor(const std::string& source,
                                    const std::string& outputFolder = {});

}  // namespace vantrel
