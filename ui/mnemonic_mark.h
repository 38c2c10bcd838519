#pragma once

#include <string>
#include <string_view>

namespace vantrel {

// A caption as it is shown and spoken: its mnemonic's mark dropped
// ("&Encode" is "Encode"), a doubled one ("&&") read as one '&'.
inline std::string WithoutMnemonicMark(std::string_view caption) {
    std::string shown;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) ++i;
        shown += caption[i];
    }
    return shown;
}

}  // namespace vantrel
