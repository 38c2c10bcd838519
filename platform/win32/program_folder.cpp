#include "platform/program_folder.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "platform/win32/wide_text.h"

namespace vantrel {
namespace {

std::string PathVariable() {
    const DWORD needed = ::GetEnvironmentVariableW(L"PATH", nullptr, 0);
    if (needed == 0) return {};
    std::wstring value(needed, L'\0');
    const DWORD written = ::GetEnvironmentVariableW(L"PATH", value.data(), needed);
    if (written == 0 || written >= needed) return {};
    value.resize(written);
    return ToUtf8(value);
}

}  // namespace

std::string FolderOf(const std::string& path) {
    const size_t separator = path.find_last_of("/\\");
    if (separator == std::string::npos || separator == 0) return {};
    return path.substr(0, separator);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    return folder + "\\" + name;
}

std::string ProgramFileName(const std::string& stem) { return stem + ".exe"; }

std::string ProgramDataFolder() {
    PWSTR local = nullptr;
    if (::SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &local) != S_OK) {
        ::CoTaskMemFree(local);
        return {};
    }
    const std::string folder = ToUtf8(local);
    ::CoTaskMemFree(local);
    return JoinPath(folder, "Vantrel");
}

std::string ProgramFolder() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), size);
        if (n == 0) return {};
        // A name that did not fit is cut short and fills the whole buffer.
        if (n < size) return FolderOf(ToUtf8(std::wstring(buffer.data(), n)));
        if (buffer.size() >= 32768) return {};  // the longest path Windows has
        buffer.resize(buffer.size() * 2);
    }
}

bool IsExecutableFile(const std::string& path) {
    if (path.empty()) return false;
    const DWORD attributes = ::GetFileAttributesW(ToWindowsPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string FindOnPath(const std::string& name) {
    const std::string folders = PathVariable() + ';';
    std::string folder;
    bool quoted = false;
    for (const char c : folders) {
        // A folder with a ';' in its name is written in quotes.
        if (c == '"') {
            quoted = !quoted;
        } else if (c != ';' || quoted) {
            folder += c;
        } else {
            // Unlike a shell, Windows reads an empty entry as nothing at all.
            if (!folder.empty()) {
                const char last = folder.back();
                const std::string candidate =
                    last == '\\' || last == '/' ? folder + name : JoinPath(folder, name);
                if (IsExecutableFile(candidate)) return candidate;
            }
            folder.clear();
        }
    }
    return {};
}

}  // namespace vantrel
