#include "platform/utf8_path.h"

namespace vantrel {

std::filesystem::path PathFromUtf8(const std::string& path) {
    return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

std::string Utf8Of(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string FileNamePart(const std::string& path) { return Utf8Of(PathFromUtf8(path).filename()); }

std::string FolderPart(const std::string& path) { return Utf8Of(PathFromUtf8(path).parent_path()); }

std::string AbsolutePath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(PathFromUtf8(path), error);
    return error ? std::string() : Utf8Of(absolute.lexically_normal());
}

}  // namespace vantrel
