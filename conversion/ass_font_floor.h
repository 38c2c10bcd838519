#pragma once

#include <string>

namespace vantrel {

// An ASS or SSA script with every style's font made at least `floorLines`
// lines high on a frame `frameHeight` lines high, and nothing else changed.
// Scripts are written for a large screen; libass scales them down to the
// player's frame, where a style meant for a corner note or a song's words
// can shrink to a few unreadable lines.
std::string WithFontFloor(const std::string& script, int frameHeight, int floorLines);

}  // namespace vantrel
