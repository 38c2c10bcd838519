#pragma once

#include <cstdint>
#include <string>

#include "platform/expected.h"

namespace vantrel {

// Size of a regular file in bytes; 0 when it cannot be opened or is not there.
uint64_t GetFileLength(const std::string& path);

// Removes the regular file at `path`: never a folder, and a link itself rather
// than what it points to. Nothing there is not a failure; a failed removal is
// not reported.
void RemoveRegularFile(const std::string& path);

// Whether this program may create files in `folder`, found by creating and
// removing one, since permissions alone do not tell (a read-only mount, an
// access list, a card whose lock is on). The reason in the system's words.
Expected<void> CheckWritableFolder(const std::string& folder);

// Puts the file `from` in place of `to` in one step, so that `to` is at every
// moment either the earlier file whole or the new one whole. The file and its
// name are flushed to the device first, so that a card pulled right after
// keeps it. A read-only `to`
// is left alone. The reason, in the system's words, when it could not be done.
Expected<void> MoveIntoPlace(const std::string& from, const std::string& to);

}  // namespace vantrel
