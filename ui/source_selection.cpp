// The list's rows: adding files and folders, their probes, the panel that
// describes the selected row, the Subtitles list of the selected rows, and
// taking rows off.
#include <algorithm>
#include <tuple>

#include "conversion/source_finder.h"
#include "conversion/subtitle_files.h"
#include "conversion/target_naming.h"
#include "conversion/track_plan.h"
#include "platform/translation.h"
#include "ui/control_ids.h"
#include "ui/converter_dialog.h"
#include "ui/track_texts.h"
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
    m_selected = {firstAdded};
    ShowInPanel(Row(firstAdded));
    ShowSubtitleChoices();
    StartDueWork();
    ShowButtons();
}

// With nothing selected the panel goes on describing the row it did.
void ConverterDialog::OnListSelectionChanged() {
    if (m_closed) return;
    m_selected = m_window.SelectedListRows();
    ShowSubtitleChoices();
    for (const ListRowKey key : m_selected) {
        if (const SourceRow* row = Row(key)) return ShowInPanel(row);
    }
}

void ConverterDialog::ShowInPanel(const SourceRow* row) {
    m_shown = row == nullptr ? 0 : row->key;
    const SourceDescription none;
    const SourceDescription& shown = row == nullptr ? none : row->description;
    m_window.SetControlText(kIdFileName, row == nullptr ? "" : FileNamePart(row->sourcePath));
    for (const PanelField field : kPanelFields) m_window.SetControlText(ControlOf(field), shown.Text(field));
    // What its conversion will take of its tracks, as the conversion decides it.
    std::string sound, subtitles;
    if (row != nullptr && shown.read) {
        const int track = ChooseSoundTrack(shown.soundTracks, m_language);
        sound = SoundText(shown, track);
        subtitles = DrawnSubtitlesText(
            ChooseSubtitles(row->subtitles, shown, track, row->subtitleFiles, m_language), shown);
    }
    m_window.SetControlText(kIdSound, sound);
    m_window.SetControlText(kIdSubtitlesDrawn, subtitles);
    // The part it converts.
    m_window.SetControlText(kIdTrimFrom, row != nullptr && row->trim.start ? MomentText(*row->trim.start) : "");
    m_window.SetControlText(kIdTrimTo, row != nullptr && row->trim.end ? MomentText(*row->trim.end) : "");
    ShowButtons();
    RequestPreview();
}

// Off and Auto for every selection; a row's own tracks and the subtitle
// files beside it when it is selected alone; the tracks of several rows when
// they have the same (a season's episodes). The choice shown is the one the
// selected rows share, or none.
void ConverterDialog::ShowSubtitleChoices() {
    std::vector<const SourceRow*> rows;
    for (const ListRowKey key : m_selected) {
        if (const SourceRow* row = Row(key)) rows.push_back(row);
    }
    m_offeredSubtitles = {{SubtitleMode::kOff, 0, {}}, {SubtitleMode::kAuto, 0, {}}};
    std::vector<std::string> texts = {
        // TRANSLATORS: a choice of the Subtitles list: no subtitles.
        Tr("Off"),
        // TRANSLATORS: a choice of the Subtitles list: the program picks them, a subtitle file beside the
        // movie, else a forced track, else one in the preferred language.
        Tr("Auto"),
    };
    const bool sameTracks = !rows.empty() && std::all_of(rows.begin(), rows.end(), [&](const SourceRow* r) {
        return r->probed && r->description.subtitleTracks == rows.front()->description.subtitleTracks;
    });
    if (sameTracks) {
        const auto& tracks = rows.front()->description.subtitleTracks;
        for (size_t i = 0; i < tracks.size(); ++i) {
            m_offeredSubtitles.push_back({SubtitleMode::kTrack, static_cast<int>(i), {}});
            texts.push_back(SubtitleTrackText(tracks[i], static_cast<int>(i)));
        }
    }
    if (rows.size() == 1) {
        for (const std::string& file : rows.front()->subtitleFiles) {
            m_offeredSubtitles.push_back({SubtitleMode::kFile, 0, file});
            texts.push_back(FileNamePart(file));
        }
    }
    int shown = rows.empty() ? 1 : -1;
    if (!rows.empty() && std::all_of(rows.begin(), rows.end(), [&](const SourceRow* r) {
            return r->subtitles == rows.front()->subtitles;
        })) {
        const auto offered = std::find(m_offeredSubtitles.begin(), m_offeredSubtitles.end(),
                                       rows.front()->subtitles);
        if (offered != m_offeredSubtitles.end()) shown = static_cast<int>(offered - m_offeredSubtitles.begin());
    }
    const bool enabled =
        std::any_of(rows.begin(), rows.end(), [](const SourceRow* r) { return r->Runnable(); });
    // Told again only when changed: a list filled afresh would close itself
    // under the user's pointer.
    auto choices = std::make_tuple(std::move(texts), shown, enabled);
    if (choices == m_subtitleChoicesShown) return;
    m_subtitleChoicesShown = std::move(choices);
    m_window.SetChoices(kIdSubtitles, std::get<0>(m_subtitleChoicesShown), shown);
    m_window.EnableControl(kIdSubtitles, enabled);
}

// A row that has started keeps the subtitles it started with.
void ConverterDialog::OnSubtitles(int choice) {
    if (m_closed || choice < 0 || static_cast<size_t>(choice) >= m_offeredSubtitles.size()) return;
    const SubtitleChoice chosen = m_offeredSubtitles[static_cast<size_t>(choice)];
    for (const ListRowKey key : m_selected) {
        if (SourceRow* row = Row(key); row != nullptr && row->Runnable()) row->subtitles = chosen;
    }
    ShowSubtitleChoices();
    if (const SourceRow* row = Row(m_shown)) ShowInPanel(row);
}

// Probes run beside the conversions, so that a file added to a running list
// is described at once, a few at a time. A source on a stalled mount, or a
// named pipe, can keep ffmpeg waiting for ever: the window stays usable.
void ConverterDialog::StartProbe(SourceRow& row) {
    const bool first = RunningJobs(false) == 0;
    // The subtitle files beside it are looked for here too: its folder may
    // be as slow as the source.
    const std::optional<uint64_t> job = StartJob(
        row.key, false,
        [this, path = row.sourcePath, language = m_language](uint64_t number, const StopSignal& stop) {
            Converter converter(m_setup);
            const Expected<SourceDescription, ProbeFailure> result = converter.Probe(path, &stop);
            const std::vector<std::string> files =
                result ? SubtitleFilesBeside(path, language) : std::vector<std::string>{};
            m_window.RunOnUiThread([this, number, result, files] { ProbeEnded(number, result, files); });
        });
    if (!job) return RowFailed(row, ConversionOutcome::kNotStarted, {});
    row.job = *job;
    if (first) m_window.SetBusy(true);
}

void ConverterDialog::ProbeEnded(uint64_t job, const Expected<SourceDescription, ProbeFailure>& result,
                                 const std::vector<std::string>& subtitleFiles) {
    if (m_closed) return;
    const ListRowKey key = m_jobs.count(job) ? m_jobs[job].row : 0;
    EndJob(job);
    if (RunningJobs(false) == 0) m_window.SetBusy(false);
    SourceRow* row = Row(key);
    if (row != nullptr && row->job == job) {
        row->job = 0;
        if (result) {
            row->description = *result;
            row->subtitleFiles = subtitleFiles;
            row->probed = true;
        } else if (result.reason().outcome != ConversionOutcome::kStopped) {
            // Told in its row: a folder of files must not bring a box for each.
            RowFailed(*row, result.reason().outcome, result.reason().reason);
        }
        ShowRow(*row);
        if (row->key == m_shown) ShowInPanel(row);
        if (std::find(m_selected.begin(), m_selected.end(), row->key) != m_selected.end()) {
            ShowSubtitleChoices();
        }
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
        std::erase(m_selected, row->key);
        if (row->key == m_shown) ShowInPanel(nullptr);
    }
    m_rows.erase(removed, m_rows.end());
    ShowSubtitleChoices();
    ShowButtons();
    if (!m_converting) ShowIdleStatus();
}

void ConverterDialog::OnClearFinished() {
    if (m_closed) return;
    const auto removed = std::stable_partition(m_rows.begin(), m_rows.end(),
                                               [](const SourceRow& row) { return !row.Finished(); });
    for (auto row = removed; row != m_rows.end(); ++row) {
        m_window.RemoveListRow(row->key);
        std::erase(m_selected, row->key);
        if (row->key == m_shown) ShowInPanel(nullptr);
    }
    m_rows.erase(removed, m_rows.end());
    ShowSubtitleChoices();
    ShowButtons();
}

}  // namespace vantrel
