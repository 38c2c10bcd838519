// Scanning primitives for the encoder's console text.
//
// Every function here works on NUL-terminated 8-bit text, keeps no state,
// allocates nothing and never reads past the terminator. A "blank" is any byte
// whose value as a signed 8-bit number is below 33: control characters, the
// space, and 0x80..0xFF.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vantrel {

bool IsBlank(char c);
bool IsDigit(char c);

// Signed decimal after optional blanks and one optional '-'. Wraps on overflow;
// 0 when there is no digit.
int64_t ParseInt64(const char* text);

// Index of the needle's leftmost occurrence in the haystack, or -1.
int32_t FindSubstring(const char* needle, const char* haystack);

// Copies the field at `source` up to NUL, LF, CR or ',' into `destination`
// (zero-filled, always terminated, at most size-1 characters) and returns the
// field's full length in the source, so the caller can step over it even when
// it was cut short.
int32_t CopyField(char* destination, const char* source, size_t size);

// "H:MM:SS[.ff]" at the start of the text, with hours of any number of digits,
// in whole seconds; 0 when the text does not start with a clock time.
int64_t ParseClockTime(const char* text);

// True when the text starts with the shape ParseClockTime accepts.
bool StartsWithClockTime(const char* text);

// The same clock time in hundredths of a second, as ffmpeg prints durations
// and positions: ".5" is 50, ".05" is 5, digits past the second are dropped.
// 0 when the text does not start with a clock time.
int64_t ParseClockHundredths(const char* text);

}  // namespace vantrel
