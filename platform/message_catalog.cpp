#include "platform/message_catalog.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/program_folder.h"
#include "platform/system_language.h"
#include "platform/utf8_path.h"

namespace vantrel {
namespace {

constexpr std::uint32_t kMagic = 0x950412de;

std::uint32_t Swapped(std::uint32_t v) {
    return (v >> 24) | ((v >> 8) & 0xff00) | ((v << 8) & 0xff0000) | (v << 24);
}

// A recursive-descent reader of gettext's plural expressions: the ternary,
// || && == != < > <= >= + - * / %, !, parentheses, numbers and n.
class PluralRuleReader {
public:
    PluralRuleReader(const std::string& rule, unsigned long n) : m_rule(rule), m_n(n) {}

    bool Read(unsigned long& value) {
        value = Conditional();
        Skip();
        return m_ok && m_at == m_rule.size();
    }

private:
    void Skip() {
        while (m_at < m_rule.size() && std::isspace(static_cast<unsigned char>(m_rule[m_at]))) ++m_at;
    }
    bool Take(const char* token) {
        Skip();
        const std::string_view t(token);
        if (m_rule.compare(m_at, t.size(), t) != 0) return false;
        // "<" must not take the start of "<=", nor "!" of "!=".
        if (t.size() == 1 && m_at + 1 < m_rule.size() && m_rule[m_at + 1] == '=' && t != "=") {
            if (t == "<" || t == ">" || t == "!") return false;
        }
        m_at += t.size();
        return true;
    }
    unsigned long Conditional() {
        const unsigned long test = Or();
        if (!Take("?")) return test;
        const unsigned long yes = Conditional();
        if (!Take(":")) m_ok = false;
        const unsigned long no = Conditional();
        return test ? yes : no;
    }
    unsigned long Or() {
        unsigned long v = And();
        while (Take("||")) v = (And() || v) ? 1 : 0;
        return v;
    }
    unsigned long And() {
        unsigned long v = Equality();
        while (Take("&&")) v = (Equality() && v) ? 1 : 0;
        return v;
    }
    unsigned long Equality() {
        unsigned long v = Relation();
        for (;;) {
            if (Take("==")) v = v == Relation();
            else if (Take("!=")) v = v != Relation();
            else return v;
        }
    }
    unsigned long Relation() {
        unsigned long v = Sum();
        for (;;) {
            if (Take("<=")) v = v <= Sum();
            else if (Take(">=")) v = v >= Sum();
            else if (Take("<")) v = v < Sum();
            else if (Take(">")) v = v > Sum();
            else return v;
        }
    }
    unsigned long Sum() {
        unsigned long v = Product();
        for (;;) {
            if (Take("+")) v += Product();
            else if (Take("-")) v -= Product();
            else return v;
        }
    }
    unsigned long Product() {
        unsigned long v = Unary();
        for (;;) {
            if (Take("*")) {
                v *= Unary();
            } else if (Take("/") || Take("%")) {
                const bool remainder = m_rule[m_at - 1] == '%';
                const unsigned long d = Unary();
                if (d == 0) {
                    m_ok = false;
                    return 0;
                }
                v = remainder ? v % d : v / d;
            } else {
                return v;
            }
        }
    }
    unsigned long Unary() {
        if (Take("!")) return Unary() ? 0 : 1;
        if (Take("(")) {
            const unsigned long v = Conditional();
            if (!Take(")")) m_ok = false;
            return v;
        }
        Skip();
        if (m_at < m_rule.size() && m_rule[m_at] == 'n') {
            ++m_at;
            return m_n;
        }
        if (m_at < m_rule.size() && std::isdigit(static_cast<unsigned char>(m_rule[m_at]))) {
            unsigned long v = 0;
            while (m_at < m_rule.size() && std::isdigit(static_cast<unsigned char>(m_rule[m_at])))
                v = v * 10 + static_cast<unsigned long>(m_rule[m_at++] - '0');
            return v;
        }
        m_ok = false;
        return 0;
    }

    const std::string& m_rule;
    const unsigned long m_n;
    std::size_t m_at = 0;
    bool m_ok = true;
};

// "nplurals=2; plural=(n != 1);" of the catalog's header.
void ReadPluralForms(const std::string& header, std::string& rule, unsigned long& forms) {
    const std::size_t line = header.find("Plural-Forms:");
    if (line == std::string::npos) return;
    const std::string text = header.substr(line, header.find('\n', line) - line);
    const std::size_t count = text.find("nplurals=");
    const std::size_t plural = text.find("plural=", count == std::string::npos ? 0 : count + 9);
    if (count == std::string::npos || plural == std::string::npos) return;
    forms = std::strtoul(text.c_str() + count + 9, nullptr, 10);
    rule = text.substr(plural + 7);
    rule = rule.substr(0, rule.find(';'));
    if (forms == 0) forms = 1;
}

}  // namespace

unsigned long EvaluatePluralRule(const std::string& rule, unsigned long n) {
    unsigned long value = 0;
    return PluralRuleReader(rule, n).Read(value) ? value : 0;
}

Expected<MessageCatalog> MessageCatalog::Load(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return Fail("cannot open " + path);
    const std::string data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    auto word = [&](std::size_t at, bool swap, std::uint32_t& v) {
        if (at + 4 > data.size()) return false;
        v = static_cast<std::uint32_t>(static_cast<unsigned char>(data[at])) |
            static_cast<std::uint32_t>(static_cast<unsigned char>(data[at + 1])) << 8 |
            static_cast<std::uint32_t>(static_cast<unsigned char>(data[at + 2])) << 16 |
            static_cast<std::uint32_t>(static_cast<unsigned char>(data[at + 3])) << 24;
        if (swap) v = Swapped(v);
        return true;
    };
    std::uint32_t magic = 0;
    if (!word(0, false, magic) || (magic != kMagic && Swapped(magic) != kMagic))
        return Fail(path + " is not a catalog of translations");
    const bool swap = magic != kMagic;
    std::uint32_t count = 0, originals = 0, translations = 0;
    if (!word(8, swap, count) || !word(12, swap, originals) || !word(16, swap, translations))
        return Fail(path + " is cut short");
    // Each entry is a length and an offset; the strings are NUL-terminated.
    auto text = [&](std::uint32_t table, std::uint32_t index, std::string& out) {
        std::uint32_t length = 0, offset = 0;
        const std::size_t at = std::size_t{table} + std::size_t{index} * 8;
        if (!word(at, swap, length) || !word(at + 4, swap, offset)) return false;
        if (std::size_t{offset} + length >= data.size()) return false;
        out.assign(data, offset, length);
        return true;
    };
    MessageCatalog catalog;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string original, translation;
        if (!text(originals, i, original) || !text(translations, i, translation))
            return Fail(path + " is damaged");
        if (original.empty()) ReadPluralForms(translation, catalog.m_pluralRule, catalog.m_pluralForms);
        else catalog.m_texts.emplace(std::move(original), std::move(translation));
    }
    return catalog;
}

const char* MessageCatalog::Translate(const char* text) const {
    const auto found = m_texts.find(text);
    return found == m_texts.end() ? nullptr : found->second.c_str();
}

const char* MessageCatalog::TranslatePlural(const char* singular, const char* plural, unsigned long count) const {
    std::string key(singular);
    key += '\0';
    key += plural;
    const auto found = m_texts.find(key);
    if (found == m_texts.end()) return nullptr;
    // The forms follow each other, each ended by a NUL.
    const std::string& forms = found->second;
    std::size_t at = 0;
    for (unsigned long form = PluralForm(count); form > 0; --form) {
        at = forms.find('\0', at);
        if (at == std::string::npos) return nullptr;
        ++at;
    }
    return at < forms.size() ? forms.c_str() + at : nullptr;
}

unsigned long MessageCatalog::PluralForm(unsigned long count) const {
    const unsigned long form = EvaluatePluralRule(m_pluralRule, count);
    return form < m_pluralForms ? form : 0;
}

std::string CatalogPath(const std::string& localeFolder, const std::string& language, const std::string& domain) {
    return JoinPath(JoinPath(JoinPath(localeFolder, language), "LC_MESSAGES"), domain + ".mo");
}

}  // namespace vantrel

namespace vantrel {

std::string ProgramLocaleFolder() {
    const std::string program = ProgramFolder();
    if (program.empty()) return {};
    for (const std::string& folder : {JoinPath(program, "locale"), JoinPath(FolderOf(program), JoinPath("share", "locale"))}) {
        std::error_code error;
        if (std::filesystem::is_directory(PathFromUtf8(folder), error)) return folder;
    }
    return {};
}

}  // namespace vantrel

namespace vantrel {

void UseProgramCatalog() {
    const std::string language = SystemLanguage();
    const std::string folder = ProgramLocaleFolder();
    if (language.empty() || folder.empty()) return;
    static auto catalog = MessageCatalog::Load(CatalogPath(folder, language, "vantrel"));
    // No catalog for the language, or a damaged one, leaves the program in English.
    if (catalog) UseTranslator(&*catalog);
}

}  // namespace vantrel
