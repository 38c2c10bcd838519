#include "conversion/target_naming.h"

#include <string_view>

#include "platform/program_folder.h"
#include "conversion/card_safe_name.h"
#include "conversion/output_format.h"
#include "conversion/source_types.h"
#include "platform/translation.h"

namespace vantrel {
namespace {

bool EndsWith(const std::string& text, std::string_view tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Where the file's own name begins, after the folder's separator ('\\' too on
// Windows).
size_t FileNameStart(const std::string& path) {
    const size_t folder = FolderOf(path).size();
    return folder == 0 ? 0 : folder + 1;
}

// ASCII letters only: bytes of a multibyte UTF-8 letter are left alone, so the
// name stays valid UTF-8.
void LowerFileName(std::string& path) {
    for (size_t i = FileNameStart(path); i < path.size(); ++i) {
        if (path[i] >= 'A' && path[i] <= 'Z') path[i] = static_cast<char>(path[i] - 'A' + 'a');
    }
}

std::string CardSafe(const std::string& target);
Expected<std::string> TargetBeside(const std::string& source);

}  // namespace

Expected<std::string> TargetPathFor(const std::string& source, const std::string& outputFolder) {
    Expected<std::string> beside = TargetBeside(source);
    if (!beside || outputFolder.empty()) return beside;
    return JoinPath(outputFolder, beside->substr(FileNameStart(*beside)));
}

namespace {

// Every converted movie ends up on the player's card, so its name is one a
// card can hold wherever it is written.
std::string CardSafe(const std::string& target) {
    const size_t start = FileNameStart(target);
    return target.substr(0, start) +
           CardSafeFileName(target.substr(start), "." + std::string(kPlayerFormat.extension));
}

Expected<std::string> TargetBeside(const std::string& source) {
    const std::string extension(kPlayerFormat.extension);
    std::string copy = source;
    LowerFileName(copy);
    if (EndsWith(copy, extension)) {
        // TRANSLATORS: {1} is the extension of the player's movies, such as .d3v.
        return Fail(Fill(Tr("already a {1} file"), {"." + extension}));
    }
    // "mpeg" needs no dot: "clip.mpeg" and "xmpeg" both lose the four letters.
    if (EndsWith(copy, "mpeg")) return CardSafe(copy.substr(0, copy.size() - 4) + extension);
    const size_t dot = copy.rfind('.');
    if (dot != std::string::npos && dot >= FileNameStart(copy)) {
        const std::string_view found = std::string_view(copy).substr(dot + 1);
        for (std::string_view known : kSourceExtensions) {
            if (found == known) return CardSafe(copy.substr(0, dot + 1) + extension);
        }
    }
    // TRANSLATORS: {1} is a list of file extensions, such as ".mpeg, .mpg, .mp4".
    return Fail(Fill(Tr("not a movie file name (accepted: {1})"), {AcceptedExtensionList()}));
}

}  // namespace

}  // namespace vantrel
