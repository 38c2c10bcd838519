#include "platform/posix/udev_volume.h"

#include <algorithm>

namespace vantrel {
namespace {

int HexDigit(char letter) {
    if (letter >= '0' && letter <= '9') return letter - '0';
    if (letter >= 'a' && letter <= 'f') return letter - 'a' + 10;
    if (letter >= 'A' && letter <= 'F') return letter - 'A' + 10;
    return -1;
}

// udev writes the label's bytes that are unsafe in a shell or a path as \xNN
// (a space as \x20); the bytes are the label's UTF-8.
std::string Unescaped(std::string_view value) {
    std::string text;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 3 < value.size() && value[i + 1] == 'x' &&
            HexDigit(value[i + 2]) >= 0 && HexDigit(value[i + 3]) >= 0) {
            text += static_cast<char>(HexDigit(value[i + 2]) * 16 + HexDigit(value[i + 3]));
            i += 3;
        } else {
            text += value[i];
        }
    }
    return text;
}

}  // namespace

std::optional<UdevVolume> ParseUdevVolume(std::string_view record) {
    UdevVolume volume;
    std::optional<std::string> plainLabel;
    bool encodedLabel = false;
    for (size_t start = 0; start < record.size();) {
        const size_t end = std::min(record.find('\n', start), record.size());
        const std::string_view line = record.substr(start, end - start);
        start = end + 1;
        const auto value = [&](std::string_view key) -> std::optional<std::string_view> {
            if (line.substr(0, key.size()) != key) return std::nullopt;
            return line.substr(key.size());
        };
        if (auto type = value("E:ID_FS_TYPE=")) volume.type = *type;
        if (auto uuid = value("E:ID_FS_UUID=")) volume.uuid = *uuid;
        if (auto label = value("E:ID_FS_LABEL_ENC=")) {
            volume.label = Unescaped(*label);
            encodedLabel = true;
        }
        // The plain form has its unsafe letters replaced by '_'; only a
        // record without the encoded one falls back to it.
        if (auto label = value("E:ID_FS_LABEL=")) plainLabel = std::string(*label);
    }
    if (!encodedLabel && plainLabel) volume.label = *plainLabel;
    while (!volume.label.empty() && volume.label.back() == ' ') volume.label.pop_back();
    if (volume.type.empty()) return std::nullopt;
    return volume;
}

}  // namespace vantrel
