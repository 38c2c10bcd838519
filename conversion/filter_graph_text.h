#pragma once

#include <string>
#include <string_view>

namespace vantrel {

// `text` as one option value inside a filter graph ("subtitles=filename=VALUE"),
// whatever it holds. ffmpeg reads a graph at two levels: the graph splits at
// [ ] , ; and the filter's options at : and =, each level taking \ and ' as
// escapes. Every one of those characters is escaped at both levels, so a file
// named "a:b [1], 'c'; d=e\f" is one file, and no name can add a filter.
std::string FilterOptionValue(std::string_view text);

}  // namespace vantrel
