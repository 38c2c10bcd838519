#include "conversion/string_table.h"

#include "platform/translation.h"

namespace vantrel {

std::string Text(MessageKey key) {
    switch (key) {
        case MessageKey::kAbout: return Tr("About Vantrel Video Converter");
        case MessageKey::kConversionFailed: return Tr("Conversion Failed");
        // TRANSLATORS: the file system the movie was written to is full.
        case MessageKey::kNotEnoughMemory: return Tr("Error, Not enough Memory");
        case MessageKey::kUnableToDecode: return Tr("Unable to decode source video");
        // TRANSLATORS: the button that starts converting the list.
        case MessageKey::kEncode: return Tr("&Encode");
        // TRANSLATORS: the Encode button while the list converts; it stops the conversion.
        case MessageKey::kStop: return Tr("STOP");
        case MessageKey::kFailedToExecute:
            // TRANSLATORS: ffmpeg, which converts the movies, could not be started.
            return Tr("Failed to execute video conversion component!! Please re-install.");
    }
    return {};
}

}  // namespace vantrel
