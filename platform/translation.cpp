#include "platform/translation.h"

#include <atomic>

namespace vantrel {

namespace {
std::atomic<const Translator*> g_translator{nullptr};
}

void UseTranslator(const Translator* translator) { g_translator.store(translator, std::memory_order_release); }

std::string Tr(const char* text) {
    const Translator* translator = g_translator.load(std::memory_order_acquire);
    const char* translated = translator ? translator->Translate(text) : nullptr;
    return translated && *translated ? translated : text;
}

std::string TrN(const char* singular, const char* plural, std::uint64_t count) {
    const Translator* translator = g_translator.load(std::memory_order_acquire);
    // Plural rules look at a count's last digits; a count past a million
    // keeps its last six, and stays past a million, where long has 32 bits.
    const auto asked = static_cast<unsigned long>(count < 1000000 ? count : 1000000 + count % 1000000);
    const char* translated = translator ? translator->TranslatePlural(singular, plural, asked) : nullptr;
    if (translated && *translated) return translated;
    return count == 1 ? singular : plural;
}

std::string Fill(std::string_view pattern, std::initializer_list<std::string_view> values) {
    std::string filled;
    filled.reserve(pattern.size() + 32);
    for (std::size_t at = 0; at < pattern.size();) {
        const std::size_t close = pattern[at] == '{' ? pattern.find('}', at) : std::string_view::npos;
        std::size_t number = 0;
        bool isPlace = close != std::string_view::npos && close > at + 1 && close - at <= 3;
        for (std::size_t i = at + 1; isPlace && i < close; ++i) {
            isPlace = pattern[i] >= '0' && pattern[i] <= '9';
            number = number * 10 + static_cast<std::size_t>(pattern[i] - '0');
        }
        if (isPlace && number >= 1 && number <= values.size()) {
            filled += *(values.begin() + (number - 1));
            at = close + 1;
        } else {
            filled += pattern[at++];
        }
    }
    return filled;
}

}  // namespace vantrel
