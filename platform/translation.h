#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace vantrel {

// The texts a user reads go through Tr() or TrN(), and are found in the user's
// language when a catalog has them; English otherwise. A text built from
// parts is one pattern with numbered places, {1}, {2}..., filled by Fill(), so
// that a translation can put the parts in its own order.
//
// Each front end installs its way of looking texts up once at start-up, before
// any other thread starts; any thread may look up texts afterwards.
class Translator {
public:
    virtual ~Translator() = default;
    // The translation of `text`; nullptr when the catalog has none.
    virtual const char* Translate(const char* text) const = 0;
    // The translation of a text that depends on a count, `singular` being its
    // English for one and `plural` for any other count; nullptr when none.
    virtual const char* TranslatePlural(const char* singular, const char* plural, unsigned long count) const = 0;
};

// Installs `translator` (nullptr: English) for the rest of the run. It must
// outlive every lookup.
void UseTranslator(const Translator* translator);

// `text` in the user's language.
std::string Tr(const char* text);

// `singular` or `plural`, as `count` asks, in the user's language.
std::string TrN(const char* singular, const char* plural, std::uint64_t count);

// Marks a text kept in a table for translation where it is shown, by Tr().
constexpr const char* TextToTranslate(const char* text) { return text; }

// `pattern` with each {N} replaced by the Nth of `values` (from 1). A place
// with no value, or a brace that starts none, is kept as it stands.
std::string Fill(std::string_view pattern, std::initializer_list<std::string_view> values);

}  // namespace vantrel
