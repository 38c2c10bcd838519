#include "conversion/source_types.h"

#include "conversion/output_format.h"
#include "platform/translation.h"

namespace vantrel {
namespace {

std::string UpperCase(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

std::string BothCases(std::string_view extension) {
    const std::string lower = "*." + std::string(extension);
    return lower + ";*." + UpperCase(extension);
}

}  // namespace

std::string OpenFileFilter() {
    std::string patterns;
    for (std::string_view extension : kSourceExtensions) patterns += BothCases(extension) + ";";
    // Converted files are listed too, so that a user sees what is already done.
    patterns += BothCases(kPlayerFormat.extension);
    // TRANSLATORS: the kind of file the open dialog lists first; no '|' in it.
    const std::string movies = Tr("Movie Files");
    // TRANSLATORS: the open dialog's choice that lists every file; no '|' in it.
    const std::string all = Tr("All Files (*.*)");
    return movies + "|" + patterns + "|" + all + "|*.*";
}

std::string AcceptedExtensionList() {
    std::string list;
    for (std::string_view extension : kSourceExtensions) {
        list += (list.empty() ? "." : ", .") + std::string(extension);
    }
    return list;
}

}  // namespace vantrel
