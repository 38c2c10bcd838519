#include "conversion/subtitle_files.h"

#include "conversion/ascii_case.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <string_view>

#include "conversion/language_code.h"
#include "platform/utf8_path.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

// The name without its last extension: "Film.2020" of "Film.2020.mkv". A
// leading dot starts no extension (".hidden" is all name).
std::string Stem(const std::string& name) {
    const size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

// Where the name is NAME.srt or NAME.LANG.srt for the source's NAME (lower
// case): 0 for no language, 1 for a language, -1 for not the source's.
int Belonging(const std::string& fileName, const std::string& sourceStem) {
    if (!IsSubtitleFileName(fileName)) return -1;
    const std::string stem = AsciiLower(Stem(fileName));
    if (stem == sourceStem) return 0;
    if (!stem.starts_with(sourceStem + '.')) return -1;
    const std::string_view language = std::string_view(stem).substr(sourceStem.size() + 1);
    // A single word: "NAME.x.en.srt" belongs to the source "NAME.x", not to NAME.
    if (language.find('.') != std::string_view::npos) return -1;
    return CanonicalLanguage(language).empty() ? -1 : 1;
}

}  // namespace

bool IsSubtitleFileName(const std::string& path) {
    const std::string name = AsciiLower(FileNamePart(path));
    constexpr std::array<std::string_view, 4> kExtensions = {".srt", ".ass", ".ssa", ".vtt"};
    return std::any_of(kExtensions.begin(), kExtensions.end(), [&](std::string_view extension) {
        return name.size() > extension.size() && name.ends_with(extension);
    });
}

std::string LanguageOfSubtitleFile(const std::string& path) {
    if (!IsSubtitleFileName(path)) return {};
    const std::string stem = Stem(FileNamePart(path));
    const size_t dot = stem.rfind('.');
    if (dot == std::string::npos || dot == 0) return {};
    return CanonicalLanguage(std::string_view(stem).substr(dot + 1));
}

std::vector<std::string> SubtitleFilesBeside(const std::string& sourcePath,
                                             const std::string& preferredLanguage) {
    const fs::path source = PathFromUtf8(sourcePath);
    const fs::path folder = source.parent_path();
    const std::string sourceStem = AsciiLower(Stem(FileNamePart(sourcePath)));
    if (sourceStem.empty()) return {};

    struct Found {
        int rank;  // 0 in the preferred language, 1 without a language, 2 in another
        std::string name;
    };
    std::vector<Found> found;
    std::error_code error;
    for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, error), end;
         !error && it != end; it.increment(error)) {
        const std::string name = Utf8Of(it->path().filename());
        const int belonging = Belonging(name, sourceStem);
        std::error_code notFile;
        if (belonging < 0 || !fs::is_regular_file(it->path(), notFile)) continue;
        const int rank = belonging == 0                                                 ? 1
                         : SameLanguage(LanguageOfSubtitleFile(name), preferredLanguage) ? 0
                                                                                         : 2;
        found.push_back({rank, name});
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return a.rank != b.rank ? a.rank < b.rank : a.name < b.name;
    });
    std::vector<std::string> paths;
    for (const Found& file : found) paths.push_back(Utf8Of(folder / PathFromUtf8(file.name)));
    return paths;
}

}  // namespace vantrel
