// The preview: the row the panel describes as the player will show it, one
// frame made by the conversion's own filter chain, subtitles included, on a
// worker of its own, so that a slow source never holds up the window.
#include <system_error>

#include "ui/converter_dialog.h"
#include "ui/preview_files.h"

namespace vantrel {

void ConverterDialog::RequestPreview() {
    if (m_closed) return;
    const SourceRow* row = Row(m_shown);
    std::optional<PreviewOf> wanted;
    if (row != nullptr && row->probed) wanted = PreviewOf{row->key, m_fit, row->subtitles, row->trim.start};
    if (wanted == m_previewOf) return;
    // A frame of another row must go at once; one of the same row made
    // otherwise stays until the new one takes its place.
    if (!wanted || !m_previewOf || wanted->row != m_previewOf->row) m_window.SetPreview({});
    m_previewOf = wanted;
    m_previewWanted = 0;
    m_previewDue = wanted.has_value();
    for (auto& [number, job] : m_previews) job.stop->Signal();
    StartDuePreview();
}

// Only once the last run has ended: the frames are made one at a time, however
// fast the user goes through the list.
void ConverterDialog::StartDuePreview() {
    if (m_closed || !m_previewDue || !m_previews.empty()) return;
    m_previewDue = false;
    const SourceRow* row = m_previewOf ? Row(m_previewOf->row) : nullptr;
    if (row == nullptr) return;
    const uint64_t number = ++m_lastJob;
    // The first frame converted when "From" says; else a third into the
    // movie: past its titles, in its story.
    const double seconds = row->trim.start.value_or(row->DurationSeconds().value_or(0.0) / 3.0);
    PreviewJob& job = m_previews[number];
    job.stop = std::make_shared<StopSignal>();
    try {
        // A folder of its own for each run, gone when the run is: a program
        // killed outright leaves at most the one of the run it was in.
        job.thread = std::thread([this, number, seconds, stop = job.stop,
                                  request = RequestFor(*row, {}), known = row->description] {
            auto picture = std::make_shared<PreviewPicture>();
            if (const std::string folder = MakePrivateFolder(m_previewPrefix); !folder.empty()) {
                const std::string image = FileIn(folder, "frame.rgb");
                Converter converter(m_setup);
                if (converter.Preview(request, known, seconds, PreviewImage::kRawRgb, image, stop.get())) {
                    *picture = ReadPreviewPicture(image, kPlayerFormat.width, kPlayerFormat.height);
                }
                RemoveFolder(folder);
            }
            m_window.RunOnUiThread([this, number, picture] { PreviewEnded(number, *picture); });
        });
    } catch (const std::system_error&) {
        m_previews.erase(number);
        return;
    }
    m_previewWanted = number;
}

// A frame that failed leaves the preview blank; one no longer wanted is not shown.
void ConverterDialog::PreviewEnded(uint64_t job, const PreviewPicture& picture) {
    if (m_closed) return;
    if (const auto found = m_previews.find(job); found != m_previews.end()) {
        if (found->second.thread.joinable()) found->second.thread.join();
        m_previews.erase(found);
    }
    if (job == m_previewWanted) {
        m_previewWanted = 0;
        m_window.SetPreview(picture);
    }
    StartDuePreview();
}

}  // namespace vantrel
