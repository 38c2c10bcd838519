#include "platform/text_encoding.h"

#include <uchardet.h>

#include <algorithm>
#include <memory>
#include <type_traits>
#include <string_view>
#include <utility>

#include "platform/text_decoding.h"
#include "platform/utf8_text.h"

namespace vantrel {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Valid UTF-8 that is text: no NUL, which UTF-16 text without its mark is full of.
bool IsUtf8Text(std::string_view bytes) {
    return bytes.find('\0') == std::string_view::npos && IsValidUtf8(bytes);
}

// UTF-16 is read here, the same on every system: Windows's MultiByteToWideChar
// does not take it as a code page.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size());
    const auto unit = [&](size_t i) -> char32_t {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (first << 8 | second) : (second << 8 | first);
    };
    size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        const char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes.size()) {
            const char32_t next = unit(i + 2);
            if (next >= 0xDC00 && next <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((c - 0xD800) << 10) + (next - 0xDC00));
                i += 2;
                continue;
            }
        }
        if (c >= 0xD800 && c <= 0xDFFF) {
            out += kReplacement;  // a lone surrogate
        } else {
            AppendUtf8(out, c);
        }
    }
    if (i < bytes.size()) out += kReplacement;  // an odd byte at the end
    return out;
}

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](char c) {
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    });
    return text;
}

// The one name an encoding is kept and reported by, whatever alias the user
// wrote. Names not here pass on upper-cased for the system to judge.
std::string StandardName(const std::string& name) {
    std::string upper = Upper(name);
    // "ISO8859-2", "ISO_8859-2" and "ISO-8859-2" alike.
    if (upper.starts_with("ISO8859") || upper.starts_with("ISO_8859")) {
        upper = "ISO-8859" + upper.substr(upper.starts_with("ISO8859") ? 7 : 8);
        if (upper.size() > 8 && upper[8] != '-') upper.insert(8, "-");
    }
    // "CP1251", "WIN1251", "WINDOWS1251", "MS-1251"...
    for (const std::string_view prefix : {"CP125", "WIN125", "WINDOWS125", "WIN-125", "MS-125"}) {
        if (upper.starts_with(prefix) && upper.size() == prefix.size() + 1) {
            return "WINDOWS-125" + upper.substr(prefix.size());
        }
    }
    static const std::pair<std::string_view, std::string_view> kAliases[] = {
        {"UTF8", "UTF-8"},           {"UTF-16", "UTF-16LE"},     {"UTF16", "UTF-16LE"},
        {"UTF16LE", "UTF-16LE"},     {"UTF16BE", "UTF-16BE"},    {"UCS-2LE", "UTF-16LE"},
        {"LATIN1", "ISO-8859-1"},    {"LATIN-1", "ISO-8859-1"},  {"L1", "ISO-8859-1"},
        {"LATIN2", "ISO-8859-2"},    {"LATIN-2", "ISO-8859-2"},  {"L2", "ISO-8859-2"},
        {"LATIN9", "ISO-8859-15"},   {"ANSI", "WINDOWS-1252"},   {"CP874", "WINDOWS-874"},
        {"SJIS", "SHIFT_JIS"},       {"SHIFT-JIS", "SHIFT_JIS"}, {"CP932", "SHIFT_JIS"},
        {"MS932", "SHIFT_JIS"},      {"WINDOWS-31J", "SHIFT_JIS"}, {"MS_KANJI", "SHIFT_JIS"},
        {"EUCJP", "EUC-JP"},         {"EUCKR", "EUC-KR"},        {"CP949", "UHC"},
        {"CP936", "GBK"},            {"BIG-5", "BIG5"},          {"CP950", "BIG5"},
        {"KOI8R", "KOI8-R"},         {"KOI8U", "KOI8-U"},        {"CP866", "IBM866"},
    };
    for (const auto& [alias, standard] : kAliases) {
        if (upper == alias) return std::string(standard);
    }
    return upper;
}

// uchardet's guess; empty when it has none.
std::string Detected(std::string_view bytes) {
    const std::unique_ptr<std::remove_pointer_t<uchardet_t>, void (*)(uchardet_t)> detector(
        uchardet_new(), uchardet_delete);
    if (!detector || uchardet_handle_data(detector.get(), bytes.data(), bytes.size()) != 0) {
        return {};
    }
    uchardet_data_end(detector.get());
    const char* charset = uchardet_get_charset(detector.get());
    return charset ? StandardName(charset) : std::string();
}

}  // namespace

Expected<Utf8Text> ReadTextAsUtf8(const std::string& path, const std::string& encoding) {
    const std::string asked = encoding.empty() ? std::string() : StandardName(encoding);
    // A name the system cannot read is the user's mistake, told at once even
    // when this file happens not to need it.
    if (!asked.empty() && asked != "UTF-8" && asked != "UTF-16LE" && asked != "UTF-16BE") {
        if (Expected<std::string> known = LegacyToUtf8({}, asked); !known) return Fail(known.reason());
    }
    Expected<std::string> read = ReadWholeFile(path);
    if (!read) return Fail(read.reason());
    std::string_view bytes = read.value();

    // A byte-order mark is the file's own word, which outweighs any other.
    std::string name;
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        name = "UTF-8";
        bytes.remove_prefix(3);
    } else if (bytes.starts_with("\xFF\xFE")) {
        name = "UTF-16LE";
        bytes.remove_prefix(2);
    } else if (bytes.starts_with("\xFE\xFF")) {
        name = "UTF-16BE";
        bytes.remove_prefix(2);
    } else if (IsUtf8Text(bytes)) {
        // Before the user's word and any guess: legacy text of any length is
        // practically never valid UTF-8 by chance, so an encoding set for a
        // user's old files does not garble the new ones; and a detector may
        // call UTF-8 something else (pure ASCII "ASCII").
        name = "UTF-8";
    } else if (!asked.empty()) {
        name = asked;
    } else {
        name = Detected(bytes);
        // No guess, or a guess of a subset of 1252: subtitles hold no C1
        // control characters, so 1252 reads the same text and its € and
        // curly quotes too. It is also what most unmarked Western text is.
        if (name.empty() || name == "ASCII" || name == "ISO-8859-1") name = "WINDOWS-1252";
    }

    Utf8Text result;
    result.encoding = name;
    if (name == "UTF-8") {
        result.text = ValidUtf8(bytes);
    } else if (name == "UTF-16LE" || name == "UTF-16BE") {
        result.text = Utf16ToUtf8(bytes, name == "UTF-16BE");
    } else {
        Expected<std::string> decoded = LegacyToUtf8(bytes, name);
        if (!decoded) return Fail(decoded.reason());
        result.text = std::move(decoded.value());
    }
    return result;
}

}  // namespace vantrel
