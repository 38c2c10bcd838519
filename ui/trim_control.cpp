// "From" and "To": the part of the selected rows converted.
#include <cctype>

#include "conversion/trim.h"
#include "ui/control_ids.h"
#include "ui/converter_dialog.h"

namespace vantrel {
namespace {

std::string_view WithoutBlanks(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

// A moment as typed: none inside for an empty field, none at all for one
// that is no time.
std::optional<std::optional<double>> MomentTyped(std::string_view text) {
    text = WithoutBlanks(text);
    if (text.empty()) return std::optional<double>();
    if (const std::optional<double> moment = ParseMoment(text)) return moment;
    return std::nullopt;
}

}  // namespace

void ConverterDialog::OnTrim(std::string_view fromText, std::string_view toText) {
    if (m_closed) return;
    const std::optional<std::optional<double>> from = MomentTyped(fromText);
    const std::optional<std::optional<double>> to = MomentTyped(toText);
    if (!from || !to) {
        m_window.SetControlText(kIdStatus, "From and To take h:mm:ss, m:ss or seconds, such as 1:02:03, 4:30 or 90");
        return;
    }
    const Trim trim{*from, *to};
    if (trim.end && trim.StartSeconds() >= *trim.end) {
        m_window.SetControlText(kIdStatus, "From must come before To");
        return;
    }
    // Rows already converting keep the part they started with.
    for (const ListRowKey key : m_selected) {
        if (SourceRow* row = Row(key); row != nullptr && row->Runnable()) {
            row->trim = trim;
            ShowRow(*row);
        }
    }
    if (!m_converting) ShowIdleStatus();
    RequestPreview();
}

}  // namespace vantrel
