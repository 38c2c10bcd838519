// What happens once the whole list is done: nothing, the program quits, or
// the computer sleeps or shuts down after a notice the user can cancel.
#include <charconv>
#include <ctime>

#include "ui/control_ids.h"
#include "ui/converter_dialog.h"
#include "ui/list_report.h"

namespace vantrel {
namespace {

// The longest notice the settings may ask for: an hour.
constexpr int kLongestNotice = 3600;

std::string NoticeText(PowerAction action, int seconds) {
    const std::string in = seconds == 1 ? "1 second" : std::to_string(seconds) + " seconds";
    return (action == PowerAction::kSleep ? "The computer will sleep in " : "The computer will shut down in ") +
           in + ". Cancel keeps it on";
}

std::string LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    char text[32] = "";
    // The UI thread alone asks the time this way.
    if (const std::tm* local = std::localtime(&now)) std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", local);
    return text;
}

}  // namespace

void ConverterDialog::ShowWhenDoneChoices() {
    for (const int id : kWhenDoneRadios) {
        m_window.CheckControl(id, id == kWhenDoneRadios[static_cast<size_t>(m_whenDone)]);
    }
    for (const auto& [id, action] : {std::pair{kIdWhenDoneSleep, PowerAction::kSleep},
                                     std::pair{kIdWhenDoneShutDown, PowerAction::kShutDown}}) {
        const PowerPermission permission =
            m_power != nullptr ? m_power->Permission(action)
                               : PowerPermission{false, "This computer cannot be put to sleep or shut down from here"};
        m_window.EnableControl(id, permission.allowed);
        m_window.SetControlTooltip(id, permission.allowed ? "" : permission.reason);
    }
}

void ConverterDialog::OnWhenDone(int radioId) {
    if (m_closed) return;
    for (size_t i = 0; i < kWhenDoneRadios.size(); ++i) {
        if (kWhenDoneRadios[i] == radioId) m_whenDone = static_cast<WhenDone>(i);
    }
    if (m_whenDone == WhenDone::kNothing && InNotice()) CancelNotice();
}

// The list has run to its end, by itself: a STOP never comes here.
void ConverterDialog::AfterList() {
    // The results are kept where the user will find them once back.
    const Expected<std::string> report = WriteListReport(ListReportText(m_rows, LocalTimeNow()));
    if (report) Remember(kReportKey, *report);
    m_reportTold = report ? "The list's results are in " + *report
                          : "The list's results could not be kept: " + report.reason();
    if (m_whenDone == WhenDone::kQuit) {
        ShowButtons();
        return m_window.Quit();
    }
    m_noticeAction = m_whenDone == WhenDone::kSleep ? PowerAction::kSleep : PowerAction::kShutDown;
    m_noticeLeft = m_noticeSeconds;
    ++m_notice;
    NoticeTick(m_notice);
}

void ConverterDialog::NoticeTick(uint64_t notice) {
    if (m_closed || notice != m_notice || m_noticeLeft < 0) return;
    if (m_noticeLeft == 0) {
        m_noticeLeft = -1;
        // Once asked, the choice is done with: a computer woken up must not
        // sleep again after the next list unless the user says so again.
        m_whenDone = WhenDone::kNothing;
        ShowWhenDoneChoices();
        ShowButtons();
        const Expected<void> asked = m_power != nullptr ? m_power->Request(m_noticeAction)
                                                        : Expected<void>(Fail("no power service"));
        const std::string what = m_noticeAction == PowerAction::kSleep ? "sleep" : "shut down";
        m_window.SetControlText(kIdStatus, asked ? m_reportTold
                                                 : "The computer could not " + what + ": " + asked.reason() +
                                                       ". " + m_reportTold);
        return;
    }
    m_window.SetControlText(kIdStatus, NoticeText(m_noticeAction, m_noticeLeft));
    ShowButtons();
    --m_noticeLeft;
    m_window.RunOnUiThreadAfter(std::chrono::seconds(1), [this, notice] { NoticeTick(notice); });
}

void ConverterDialog::CancelNotice() {
    m_noticeLeft = -1;
    ++m_notice;
    m_window.SetControlText(kIdStatus, m_endedStatus + ". " + m_reportTold);
    ShowButtons();
}

void ConverterDialog::ReadWhenDoneSettings() {
    const std::string seconds = Remembered(kNoticeKey);
    const char* end = seconds.data() + seconds.size();
    const auto [stop, fault] = std::from_chars(seconds.data(), end, m_noticeSeconds);
    if (fault != std::errc() || stop != end || m_noticeSeconds < 0 || m_noticeSeconds > kLongestNotice) {
        m_noticeSeconds = kDefaultNoticeSeconds;
    }
    // A report left before the computer slept or shut down is named once.
    if (const std::string report = Remembered(kReportKey); !report.empty()) {
        Remember(kReportKey, "");
        m_window.SetControlText(kIdStatus, "The last list's results are in " + report);
    }
}

}  // namespace vantrel
