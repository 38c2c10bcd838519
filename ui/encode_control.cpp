// Encode/STOP: converting the list, several files at once, and the bar and the
// status line that follow the whole list.
#include <algorithm>
#include <chrono>

#include "conversion/outcome_message.h"
#include "conversion/target_room.h"
#include "conversion/target_naming.h"
#include "platform/target_file.h"
#include "platform/translation.h"
#include "platform/utf8_path.h"
#include "ui/control_ids.h"
#include "ui/converter_dialog.h"
#include "ui/status_line.h"

namespace vantrel {
namespace {

// A failed list tells its first few failures in full; the rows tell the rest.
constexpr size_t kFailuresToldInFull = 5;

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// One conversion's reports, on its worker, handed to the UI thread.
class RowReports : public EncoderReportSink {
public:
    RowReports(DialogWindow& window, std::function<void(const SourceDescription&)> described,
               std::function<void(const ProgressReport&, double seconds)> progressed)
        : m_window(window), m_described(std::move(described)), m_progressed(std::move(progressed)) {}

    void SourceDescribed(const SourceDescription& source) override {
        m_window.RunOnUiThread([described = m_described, source] { described(source); });
    }
    void Progressed(const ProgressReport& progress) override {
        m_window.RunOnUiThread([progressed = m_progressed, progress, seconds = SecondsSince(m_start)] {
            progressed(progress, seconds);
        });
    }

private:
    DialogWindow& m_window;
    std::function<void(const SourceDescription&)> m_described;
    std::function<void(const ProgressReport&, double)> m_progressed;
    const std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

}  // namespace

void ConverterDialog::OnEncode() {
    if (m_closed) return;
    if (InNotice()) return CancelNotice();
    if (m_converting) return StopList();
    if (std::none_of(m_rows.begin(), m_rows.end(), [](const SourceRow& r) { return r.Runnable() && r.probed; })) {
        return;
    }
    m_converting = true;
    m_runStart = std::chrono::steady_clock::now();
    for (SourceRow& row : m_rows) row.inRun = row.Runnable();
    m_window.PostProgress(0);
    ShowButtons();
    StartDueWork();
    if (m_converting) ShowListProgress();
    ShowSubtitleChoices();
}

void ConverterDialog::StartDueWork() {
    if (m_closed) return;
    for (SourceRow& row : m_rows) {
        if (RunningJobs(false) >= static_cast<size_t>(m_simultaneous)) break;
        if (row.Runnable() && !row.probed && row.job == 0) StartProbe(row);
    }
    if (!m_converting) return;
    // Rows start in the list's order, as soon as their probe has described
    // them; a stopped row once its last run has ended, so that two runs never
    // write the same file.
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (RunningJobs(true) >= static_cast<size_t>(m_simultaneous)) break;
        SourceRow& row = m_rows[i];
        if (row.inRun && row.Runnable() && row.probed && row.job == 0) StartConversion(row);
    }
    const bool anyLeft = std::any_of(m_rows.begin(), m_rows.end(), [](const SourceRow& r) {
        return r.inRun && (r.Runnable() || r.state == RowState::kConverting);
    });
    if (!anyLeft) ListEnded();
}

std::optional<std::string> ConverterDialog::RefusalOf(const SourceRow& row,
                                                      const std::string& target) const {
    // No file is ever written over by another file's conversion of this list.
    for (const SourceRow& other : m_rows) {
        if (other.key != row.key && other.target == target &&
            (other.state == RowState::kConverting || other.state == RowState::kConverted)) {
            // TRANSLATORS: why a file is not converted; {1} is another file of the list, {2} the name of the
            // file both would be converted to.
            return Fill(Tr("{1} is converted to the same file {2}"),
                        {FileNamePart(other.sourcePath), FileNamePart(target)});
        }
    }
    const std::string folder = FolderPart(target);
    if (const Expected<void> writable = CheckWritableFolder(folder); !writable) {
        // TRANSLATORS: why a file is not converted; {1} is a folder's path. "Save to" is the drop-down list
        // of where the files go.
        return Fill(Tr("Cannot write in {1}: choose a folder under Save to"), {folder});
    }
    // The rows converting into the same folder will still write the rest of
    // what they are expected to.
    const std::optional<double> seconds = row.PartSeconds();
    const std::optional<uint64_t> free = m_setup.freeSpace->FreeBytes(folder);
    if (!seconds || !free) return std::nullopt;
    double reserved = 0;
    for (const SourceRow& other : m_rows) {
        const std::optional<double> length = other.PartSeconds();
        if (other.state != RowState::kConverting || FolderPart(other.target) != folder || !length) continue;
        reserved += ExpectedBytes(other.videoKilobits, *length) * (1 - other.done.value_or(0.0));
    }
    return WhyItWillNotFit(folder, *free, static_cast<uint64_t>(reserved), m_videoKilobits, *seconds);
}

void ConverterDialog::StartConversion(SourceRow& row) {
    const Expected<std::string> target = TargetPathFor(row.sourcePath, m_saveTo);
    std::optional<std::string> refusal = target ? RefusalOf(row, *target) : target.reason();
    if (refusal) return Skip(row, *refusal);
    const ConversionRequest request = RequestFor(row, *target);
    const std::optional<uint64_t> job = StartJob(
        row.key, true, [this, request, source = row.description](uint64_t number, const StopSignal& stop) {
            RowReports reports(
                m_window, [this, number](const SourceDescription& d) { RowDescribed(number, d); },
                [this, number](const ProgressReport& p, double seconds) { RowProgressed(number, p, seconds); });
            Converter converter(m_setup);
            const ConversionReport report = converter.Convert(request, &source, &stop, reports);
            m_window.RunOnUiThread([this, number, report] { ConversionEnded(number, report); });
        });
    if (!job) return RowFailed(row, ConversionOutcome::kNotStarted, {});
    row.state = RowState::kConverting;
    row.job = *job;
    row.target = *target;
    row.videoKilobits = m_videoKilobits;
    row.done = 0.0;
    row.figures = ComputeProgress({0, 0}, 0.0);
    ShowRow(row);
}

void ConverterDialog::RowDescribed(uint64_t job, const SourceDescription& description) {
    if (m_closed) return;
    const auto found = m_jobs.find(job);
    SourceRow* row = found == m_jobs.end() ? nullptr : Row(found->second.row);
    if (row == nullptr || row->job != job) return;
    row->description = description;
    if (row->key == m_shown) ShowInPanel(row);
}

void ConverterDialog::RowProgressed(uint64_t job, const ProgressReport& progress, double seconds) {
    if (m_closed) return;
    const auto found = m_jobs.find(job);
    SourceRow* row = found == m_jobs.end() ? nullptr : Row(found->second.row);
    // Reports of a run that STOP put aside are late: its row has moved on.
    if (row == nullptr || row->job != job || row->state != RowState::kConverting) return;
    row->figures = ComputeProgress(progress, seconds);
    if (progress.position) {
        row->done = std::clamp(*progress.position / static_cast<double>(kProgressRange), 0.0, 1.0);
    }
    ShowRow(*row);
    if (m_converting) ShowListProgress();
}

void ConverterDialog::ConversionEnded(uint64_t job, const ConversionReport& report) {
    if (m_closed) return;
    const auto found = m_jobs.find(job);
    SourceRow* row = found == m_jobs.end() ? nullptr : Row(found->second.row);
    EndJob(job);
    if (row != nullptr && row->job == job) {
        row->job = 0;
        row->done.reset();
        // A run that ended as STOP came keeps what it made: the file is there.
        if (report.outcome == ConversionOutcome::kConverted) {
            row->state = RowState::kConverted;
            row->targetBytes = report.targetBytes;
            row->notes = report.notes;
        } else if (report.outcome == ConversionOutcome::kStopped) {
            row->state = RowState::kStopped;
        } else if (report.outcome == ConversionOutcome::kWillNotFit) {
            Skip(*row, report.reason);
        } else {
            RowFailed(*row, report.outcome, report.reason);
        }
        ShowRow(*row);
    }
    RefreshCardSpace();
    if (m_converting) {
        StartDueWork();
        if (m_converting) ShowListProgress();
    }
    ShowButtons();
}

void ConverterDialog::Skip(SourceRow& row, const std::string& why) {
    row.state = RowState::kSkipped;
    row.reason = why;
    row.message = row.sourcePath + "\r\n\r\n" + why;
    ShowRow(row);
}

// The row's failure in the user's words: in its state column, with ffmpeg's
// or the system's reason, and as the list's message box tells it.
void ConverterDialog::RowFailed(SourceRow& row, ConversionOutcome outcome, const std::string& why) {
    row.state = RowState::kFailed;
    // TRANSLATORS: {1} is what went wrong, such as "Conversion Failed"; {2} the reason ffmpeg or the system
    // gave, in its own words.
    row.reason = why.empty() ? OutcomeText(outcome) : Fill(Tr("{1} ({2})"), {OutcomeText(outcome), why});
    row.message = OutcomeMessage(outcome, row.sourcePath, why);
    ShowRow(row);
}

// Every running row stops and goes back to wait; the ends of their runs come
// later, and find their rows moved on.
void ConverterDialog::StopList() {
    m_converting = false;
    for (SourceRow& row : m_rows) {
        if (row.state != RowState::kConverting) continue;
        if (const auto job = m_jobs.find(row.job); job != m_jobs.end()) job->second.stop->Signal();
        row.state = RowState::kStopped;
        ShowRow(row);
    }
    ShowButtons();
    ShowIdleStatus();
}

// The share of the list's run that is done, each file weighed by its
// duration (one of unknown duration by the others' mean), and the time left
// for all of it from the pace so far.
void ConverterDialog::ShowListProgress() {
    double known = 0;
    size_t knownCount = 0, done = 0, total = 0;
    for (const SourceRow& row : m_rows) {
        if (!row.inRun) continue;
        ++total;
        if (row.Finished()) ++done;
        if (const std::optional<double> seconds = row.PartSeconds()) known += *seconds, ++knownCount;
    }
    const double mean = knownCount == 0 ? 1.0 : known / static_cast<double>(knownCount);
    double weight = 0, weightDone = 0;
    const SourceRow* only = nullptr;
    for (const SourceRow& row : m_rows) {
        if (!row.inRun) continue;
        only = row.state == RowState::kConverting ? &row : only;
        const double w = row.PartSeconds().value_or(mean);
        weight += w;
        if (row.Finished()) weightDone += w;
        if (row.state == RowState::kConverting) weightDone += w * row.done.value_or(0.0);
    }
    const double share = weight > 0 ? weightDone / weight : 0.0;
    m_window.PostProgress(static_cast<int32_t>(share * kProgressRange));
    // A list of one says what a single conversion always said.
    if (total == 1 && only != nullptr) {
        m_window.SetControlText(kIdStatus, ConvertingStatus(only->figures));
        return;
    }
    const double seconds = SecondsSince(m_runStart);
    std::optional<double> eta;
    if (share > 0 && seconds > 0) eta = seconds * (1 - share) / share;
    m_window.SetControlText(kIdStatus, ListConvertingStatus(done, total, share * 100, eta));
}

void ConverterDialog::ListEnded() {
    m_converting = false;
    std::vector<const SourceRow*> converted, failed;
    for (const SourceRow& row : m_rows) {
        if (row.inRun && row.state == RowState::kConverted) converted.push_back(&row);
        if (row.inRun && (row.state == RowState::kFailed || row.state == RowState::kSkipped)) {
            failed.push_back(&row);
        }
    }
    const double seconds = SecondsSince(m_runStart);
    std::string status =
        converted.size() == 1 && failed.empty()
            ? ConvertedStatus(FileNamePart(converted[0]->target), converted[0]->targetBytes,
                              seconds, converted[0]->notes)
            : ListEndedStatus(converted.size(), failed.size(), seconds);
    // Written through to the card before each said "Converted".
    if (const std::optional<std::string> card = CardOfTheRun()) {
        if (converted.size() == 1) {
            // TRANSLATORS: {1} is how the list ended, such as "Converted: trip.d3v (2.4 MB) in 0:07"; {2} the
            // name of the memory card the file went onto.
            status = Fill(Tr("{1}. It is on {2}"), {status, *card});
        } else {
            // TRANSLATORS: {1} is how the list ended, such as "3 files converted, in 2:14"; {2} the name of
            // the memory card the files went onto.
            status = Fill(Tr("{1}. The files are on {2}"), {status, *card});
        }
    }
    // A failed conversion never shows a full bar.
    m_window.PostProgress(failed.empty() ? kProgressRange : 0);
    m_window.SetControlText(kIdStatus, status);
    m_endedStatus = status;
    m_window.NotifyConversionEnded(status);
    // The report the computer leaves behind tells the failures; a message
    // box would stand in the way of the notice, or of quitting. Encode goes
    // straight from STOP to Cancel: a button greyed for a moment under a
    // pointer that does not move would not take the click that follows.
    if (m_whenDone != WhenDone::kNothing) return AfterList();
    ShowButtons();
    if (failed.empty()) return;
    std::string message;
    for (size_t i = 0; i < failed.size() && i < kFailuresToldInFull; ++i) {
        message += (i == 0 ? "" : "\r\n\r\n\r\n") + failed[i]->message;
    }
    if (const size_t more = failed.size() - std::min(failed.size(), kFailuresToldInFull); more > 0) {
        // TRANSLATORS: ends the message of a list's failures told in full; {1} is how many more failed. English
        // says "failed" whatever the count.
        message += "\r\n\r\n\r\n" + Fill(TrN("{1} more failed: see the list.", "{1} more failed: see the list.",
                                               static_cast<unsigned long>(more)),
                                          {std::to_string(more)});
    }
    m_window.ShowMessage(message);
}

}  // namespace vantrel
