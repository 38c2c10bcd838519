// The list's rows: adding files and folders, their probes, the panel that
// describes the selected row, and taking rows off.
#include <algorithm>

#include "conversion/source_finder.h"
#include "conversion/target_naming.h"
#include "ui/control_ids.h"
#include "ui/converter_dialog.h"
#include "platform/utf8_path.h"

namespace vantrel {

void ConverterDialog::OnOpenSource() {
    if (m_closed) return;
    OnAddPaths(m_window.ChooseSourceFiles(m_folder));
}

// A file the converter does not take is passed over, as the chooser's filter
// would have; so is one already in the list.
void ConverterDialog::OnAddPaths(const std::vector<std::string>& paths) {
    if (m_closed || paths.empty()) return;
    if (const std::string folder = FolderPart(AbsolutePath(paths.front())); !folder.empty()) {
        m_folder = folder;
        Remember(kFolderKey, m_folder);
    }
    ListRowKey firstAdded = 0;
    for (const std::string& path : FindSources(paths)) {
        if (!TargetPathFor(path)) continue;
        const std::string source = AbsolutePath(path);
        if (std::any_of(m_rows.begin(), m_rows.end(),
                        [&](const SourceRow& r) { return r.sourcePath == source; })) {
            continue;
        }
        SourceRow& row = m_rows.emplace_back();
        row.key = ++m_lastKey;
        row.sourcePath = source;
        row.inRun = m_converting;  // a running list takes it up too
        ShowRow(row);
        if (firstAdded == 0) firstAdded = row.key;
    }
    if (firstAdded == 0) return;
    // A list that ended left its bar full or empty; what is added now starts afresh.
    if (!m_converting) m_window.PostProgress(0);
    // The panel describes the first file added, as it described the file OPEN took.
    m_window.SelectListRow(firstAdded);
    ShowInPanel(Row(firstAdded));
    StartDueWork();
    ShowButtons();
}

void ConverterDialog::OnListSelectionChanged() {
    if (m_closed) return;
    const std::vector<ListRowKey> selected = m_window.SelectedListRows();
    for (const ListRowKey key : selected) {
        if (const SourceRow* row = Row(key)) return ShowInPanel(row);
    }
}

void ConverterDialog::ShowInPanel(const SourceRow* row) {
    m_shown = row == nullptr ? 0 : row->key;
    const SourceDescription none;
    const SourceDescription& shown = row == nullptr ? none : row->description;
    m_window.SetControlText(kIdFileName, row == nullptr ? "" : FileNamePart(row->sourcePath));
    for (const PanelField field : kPanelFields) m_window.SetControlText(ControlOf(field), shown.Text(field));
}

// Probes run beside the conversions, so that a file added to a running list
// is described at once, a few at a time. A source on a stalled mount, or a
// named pipe, can keep ffmpeg waiting for ever: the window stays usable.
void ConverterDialog::StartProbe(SourceRow& row) {
    const bool first = RunningJobs(false) == 0;
    const std::optional<uint64_t> job = StartJob(
        row.key, false, [this, path = row.sourcePath](uint64_t number, const StopSignal& stop) {
            Converter converter(m_setup);
            const Expected<SourceDescription, ProbeFailure> result = converter.Probe(path, &stop);
            m_window.RunOnUiThread([this, number, result] { ProbeEnded(number, result); });
        });
    if (!job) return RowFailed(row, ConversionOutcome::kNotStarted, {});
    row.job = *job;
    if (first) m_window.SetBusy(true);
}

void ConverterDialog::ProbeEnded(uint64_t job, const Expected<SourceDescription, ProbeFailure>& result) {
    if (m_closed) return;
    const ListRowKey key = m_jobs.count(job) ? m_jobs[job].row : 0;
    EndJob(job);
    if (RunningJobs(false) == 0) m_window.SetBusy(false);
    SourceRow* row = Row(key);
    if (row != nullptr && row->job == job) {
        row->job = 0;
        if (result) {
            row->description = *result;
            row->probed = true;
        } else if (result.reason().outcome != ConversionOutcome::kStopped) {
            // Told in its row: a folder of files must not bring a box for each.
            RowFailed(*row, result.reason().outcome, result.reason().reason);
        }
        ShowRow(*row);
        if (row->key == m_shown) ShowInPanel(row);
    }
    StartDueWork();
    ShowButtons();
    if (!m_converting) ShowIdleStatus();
}

// Rows that convert stay: STOP is how a user ends them. So does a stopped
// row until its run has ended, or the same file added again could start
// before the last run's temporary file is gone.
void ConverterDialog::OnRemove() {
    if (m_closed) return;
    const std::vector<ListRowKey> selected = m_window.SelectedListRows();
    const auto removed = std::stable_partition(m_rows.begin(), m_rows.end(), [&](const SourceRow& row) {
        const auto job = m_jobs.find(row.job);
        return (job != m_jobs.end() && job->second.converts) ||
               std::find(selected.begin(), selected.end(), row.key) == selected.end();
    });
    for (auto row = removed; row != m_rows.end(); ++row) {
        // A probe still running for it is stopped; its end finds no row.
        for (auto& [number, job] : m_jobs) {
            if (job.row == row->key) job.stop->Signal();
        }
        m_window.RemoveListRow(row->key);
        if (row->key == m_shown) ShowInPanel(nullptr);
    }
    m_rows.erase(removed, m_rows.end());
    ShowButtons();
    if (!m_converting) ShowIdleStatus();
}

void ConverterDialog::OnClearFinished() {
    if (m_closed) return;
    const auto removed = std::stable_partition(m_rows.begin(), m_rows.end(),
                                               [](const SourceRow& row) { return !row.Finished(); });
    for (auto row = removed; row != m_rows.end(); ++row) {
        m_window.RemoveListRow(row->key);
        if (row->key == m_shown) ShowInPanel(nullptr);
    }
    m_rows.erase(removed, m_rows.end());
    ShowButtons();
}

}  // namespace vantrel
