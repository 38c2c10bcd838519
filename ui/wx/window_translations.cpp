#include "ui/wx/window_translations.h"

#include <wx/translation.h>

#include <mutex>
#include <string>
#include <unordered_map>

#include "platform/message_catalog.h"
#include "platform/system_language.h"
#include "platform/translation.h"

namespace vantrel {
namespace {

constexpr const char* kDomain = "vantrel";

// wx hands translations out as wxString; the core wants UTF-8 that lives as
// long as the program, so each text found is kept once. Worker threads look
// texts up too, hence the lock.
class WxTranslator final : public Translator {
public:
    const char* Translate(const char* text) const override {
        return Kept(text, wxTranslations::Get()->GetTranslatedString(wxString::FromUTF8(text), kDomain));
    }
    const char* TranslatePlural(const char* singular, const char* plural, unsigned long count) const override {
        std::string key(singular);
        key += '\0';
        key += plural;
        key += '\0';
        key += std::to_string(count);
        return Kept(key.c_str(), key.size(),
                    wxTranslations::Get()->GetTranslatedString(wxString::FromUTF8(singular),
                                                               static_cast<unsigned>(count), kDomain));
    }

private:
    const char* Kept(const char* key, const wxString* translated) const {
        return Kept(key, std::char_traits<char>::length(key), translated);
    }
    const char* Kept(const char* key, std::size_t keySize, const wxString* translated) const {
        if (translated == nullptr) return nullptr;
        std::lock_guard<std::mutex> lock(m_mutex);
        auto [kept, added] = m_kept.try_emplace(std::string(key, keySize));
        if (added) kept->second = translated->utf8_string();
        return kept->second.c_str();
    }

    mutable std::mutex m_mutex;
    mutable std::unordered_map<std::string, std::string> m_kept;
};

}  // namespace

void UseWindowTranslations() {
    static WxTranslator translator;
    auto* translations = new wxTranslations;
    wxTranslations::Set(translations);
    if (const std::string folder = ProgramLocaleFolder(); !folder.empty())
        wxFileTranslationsLoader::AddCatalogLookupPathPrefix(wxString::FromUTF8(folder));
    if (const std::string language = SystemLanguage(); !language.empty())
        translations->SetLanguage(wxString::FromUTF8(language));
    translations->AddStdCatalog();
    translations->AddCatalog(kDomain, wxLANGUAGE_ENGLISH_US);
    UseTranslator(&translator);
}

}  // namespace vantrel
