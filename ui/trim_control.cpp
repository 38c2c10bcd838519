// "From" and "To": the part of the selected rows converted.
#include <cctype>

#include "conversion/trim.h"
#include "platform/translation.h"
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

void ConverterDialog::OnTrim(std::optional<std::string_view> fromText, std::optional<std::string_view> toText) {
    if (m_closed) return;
    const std::optional<std::optional<double>> from = fromText ? MomentTyped(*fromText) : std::nullopt;
    const std::optional<std::optional<double>> to = toText ? MomentTyped(*toText) : std::nullopt;
    if ((fromText && !from) || (toText && !to)) {
        // TRANSLATORS: "From" and "To" are the fields of the part of a movie converted; h:mm:ss and m:ss
        // are how times are typed in them.
        const std::string how = Tr("From and To take h:mm:ss, m:ss or seconds, such as 1:02:03, 4:30 or 90");
        m_window.SetControlText(kIdStatus, how);
        return;
    }
    // Rows already converting keep the part they started with; the others
    // take the time typed, and keep the one not typed.
    std::vector<std::pair<SourceRow*, Trim>> changes;
    for (const ListRowKey key : m_selected) {
        SourceRow* row = Row(key);
        if (row == nullptr || !row->Runnable()) continue;
        const Trim trim{from ? *from : row->trim.start, to ? *to : row->trim.end};
        if (trim.end && trim.StartSeconds() >= *trim.end) {
            // TRANSLATORS: "From" and "To" are the fields of the part of a movie converted.
            m_window.SetControlText(kIdStatus, Tr("From must come before To"));
            return;
        }
        changes.emplace_back(row, trim);
    }
    for (auto& [row, trim] : changes) {
        row->trim = trim;
        ShowRow(*row);
    }
    // The times as the panel writes them: "90" becomes "0:01:30".
    if (const SourceRow* shown = Row(m_shown); shown != nullptr && shown->Runnable()) {
        m_window.SetControlText(kIdTrimFrom, shown->trim.start ? MomentText(*shown->trim.start) : "");
        m_window.SetControlText(kIdTrimTo, shown->trim.end ? MomentText(*shown->trim.end) : "");
    }
    if (!m_converting) ShowIdleStatus();
    RequestPreview();
}

}  // namespace vantrel
