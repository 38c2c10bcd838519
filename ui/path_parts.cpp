#include "ui/path_parts.h"

#include <filesystem>

namespace vantrel {
namespace {

// Through char8_t, so that the path is read as UTF-8 and not in the
// system's legacy code page.
std::filesystem::path FromUtf8(const std::string& path) {
    return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

std::string ToUtf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace

std::string FileNamePart(const std::string& path) { return ToUtf8(FromUtf8(path).filename()); }

std::string FolderPart(const std::string& path) { return ToUtf8(FromUtf8(path).parent_path()); }

}  // namespace vantrel
