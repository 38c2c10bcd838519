#pragma once

#include <string>
#include <string_view>

namespace vantrel {

// `fileName` (a name, not a path, in UTF-8) as one that a FAT or exFAT memory
// card can store, where every converted movie ends up:
// - `\ / : * ? |` and control characters become '-', '"' becomes '\'', and
//   '<' and '>' become '(' and ')', which read naturally on the player's menu;
// - a Windows device name before the first dot (CON, PRN, AUX, NUL, COM1 to
//   COM9, LPT1 to LPT9, in any case) gets a '_' after it;
// - the part before `extension` (".d3v", kept whole) is cut, at a letter's
//   boundary, so that the name holds at most 255 UTF-16 units;
// - trailing dots and spaces go, as card file systems drop or refuse them.
// A name that is safe already comes back exactly as it was.
std::string CardSafeFileName(std::string_view fileName, std::string_view extension);

}  // namespace vantrel
