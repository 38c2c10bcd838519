#include "ui/win32/registry_settings_store.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace vantrel {

RegistrySettingsStore::RegistrySettingsStore(std::wstring keyPath) : m_keyPath(std::move(keyPath)) {}

std::optional<std::string> RegistrySettingsStore::Read(std::string_view key) {
    const std::wstring name = ToWide(std::string(key));
    constexpr DWORD kText = RRF_RT_REG_SZ;
    DWORD bytes = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, m_keyPath.c_str(), name.c_str(), kText, nullptr, nullptr,
                       &bytes) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::wstring value(bytes / sizeof(wchar_t), L'\0');
    if (::RegGetValueW(HKEY_CURRENT_USER, m_keyPath.c_str(), name.c_str(), kText, nullptr,
                       value.data(), &bytes) != ERROR_SUCCESS) {
        return std::nullopt;  // changed in between; the next start reads it
    }
    // The size counts the terminating NUL the call added.
    value.resize(bytes / sizeof(wchar_t));
    while (!value.empty() && value.back() == L'\0') value.pop_back();
    return ToUtf8(value);
}

void RegistrySettingsStore::Write(std::string_view key, std::string_view value) {
    const std::wstring name = ToWide(std::string(key));
    const std::wstring text = ToWide(std::string(value));
    ::RegSetKeyValueW(HKEY_CURRENT_USER, m_keyPath.c_str(), name.c_str(), REG_SZ, text.c_str(),
                      static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

}  // namespace vantrel
