// What happens once the whole list is done: nothing, the program quits, or
// the computer sleeps or shuts down after a notice the user can cancel.
#include <charconv>
#include <ctime>

#include "platform/translation.h"
#include "ui/control_ids.h"
#include "ui/converter_dialog.h"
#include "ui/list_report.h"

namespace vantrel {
namespace {

// The longest notice the settings may ask for: an hour.
constexpr int kLongestNotice = 3600;

std::string NoticeText(PowerAction action, int seconds) {
    const auto count = static_cast<unsigned long>(seconds);
    if (action == PowerAction::kSleep) {
        // TRANSLATORS: counts down once the list is done; {1} is the seconds left. Cancel is the button
        // that takes Encode's place meanwhile.
        return Fill(TrN("The computer will sleep in {1} second. Cancel keeps it on",
                        "The computer will sleep in {1} seconds. Cancel keeps it on", count),
                    {std::to_string(seconds)});
    }
    // TRANSLATORS: counts down once the list is done; {1} is the seconds left. Cancel is the button that
    // takes Encode's place meanwhile.
    return Fill(TrN("The computer will shut down in {1} second. Cancel keeps it on",
                    "The computer will shut down in {1} seconds. Cancel keeps it on", count),
                {std::to_string(seconds)});
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
            m_power != nullptr
                ? m_power->Permission(action)
                : PowerPermission{false, Tr("This computer cannot be put to sleep or shut down from here")};
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
    if (report) {
        // TRANSLATORS: {1} is the path of the report left when the list is done.
        m_reportTold = Fill(Tr("The list's results are in {1}"), {*report});
    } else {
        // TRANSLATORS: {1} is why the report left when the list is done could not be written.
        m_reportTold = Fill(Tr("The list's results could not be kept: {1}"), {report.reason()});
    }
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
        const Expected<void> asked =
            m_power != nullptr
                ? m_power->Request(m_noticeAction)
                // TRANSLATORS: why the computer could not sleep or shut down: the program has no way to ask.
                : Expected<void>(Fail(Tr("no power service")));
        std::string status = m_reportTold;
        if (!asked && m_noticeAction == PowerAction::kSleep) {
            // TRANSLATORS: {1} is the system's reason; {2} where the list's results are, such as "The list's
            // results are in /home/ann/last-list.txt".
            status = Fill(Tr("The computer could not sleep: {1}. {2}"), {asked.reason(), m_reportTold});
        } else if (!asked) {
            // TRANSLATORS: {1} is the system's reason; {2} where the list's results are, such as "The list's
            // results are in /home/ann/last-list.txt".
            status = Fill(Tr("The computer could not shut down: {1}. {2}"), {asked.reason(), m_reportTold});
        }
        m_window.SetControlText(kIdStatus, status);
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
    // TRANSLATORS: the status line once the countdown before sleep or shutting down is cancelled; {1} is how
    // the list ended, such as "3 files converted, in 2:14"; {2} where its results are, such as "The list's
    // results are in /home/ann/last-list.txt".
    m_window.SetControlText(kIdStatus, Fill(Tr("{1}. {2}"), {m_endedStatus, m_reportTold}));
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
        // TRANSLATORS: at the start, once; {1} is the path of the report left when the last list was done.
        m_window.SetControlText(kIdStatus, Fill(Tr("The last list's results are in {1}"), {report}));
    }
}

}  // namespace vantrel
