#include "ui/preview_files.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

#include "platform/utf8_path.h"

namespace vantrel {

std::string RandomName() {
    std::random_device random;
    char name[17];
    std::snprintf(name, sizeof name, "%08x%08x", random(), random());
    return name;
}

std::string MakePrivateFolder(const std::string& prefix) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path temporary = fs::temp_directory_path(error);
    if (error) return {};
    // A name nobody can have made ready beforehand; should one exist all
    // the same, the next.
    for (int attempt = 0; attempt < 16; ++attempt) {
        const fs::path folder = temporary / PathFromUtf8(prefix + RandomName());
        if (!fs::create_directory(folder, error)) {
            if (error) return {};
            continue;
        }
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, error);
        return Utf8Of(folder);
    }
    return {};
}

void RemoveFolder(const std::string& folder) {
    std::error_code error;
    std::filesystem::remove_all(PathFromUtf8(folder), error);
}

std::string FileIn(const std::string& folder, const std::string& name) {
    return Utf8Of(PathFromUtf8(folder) / PathFromUtf8(name));
}

PreviewPicture ReadPreviewPicture(const std::string& path, int width, int height) {
    std::ifstream file(PathFromUtf8(path), std::ios::binary);
    PreviewPicture picture{width, height, {}};
    picture.rgb.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (width <= 0 || height <= 0 || picture.rgb.size() != static_cast<size_t>(width) * height * 3) {
        return {};
    }
    return picture;
}

}  // namespace vantrel
