#include "platform/free_space.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace vantrel {

std::optional<uint64_t> FileSystemFreeSpace::FreeBytes(const std::string& folder) const {
    std::wstring path = ToWindowsPath(folder);
    // A share's root must end in a separator; any other folder may.
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    ULARGE_INTEGER available{};
    ULARGE_INTEGER total{};
    if (!::GetDiskFreeSpaceExW(path.c_str(), &available, &total, nullptr)) return std::nullopt;
    // A drive that reports no size at all has not counted, not filled up.
    if (total.QuadPart == 0) return std::nullopt;
    return static_cast<uint64_t>(available.QuadPart);
}

}  // namespace vantrel
