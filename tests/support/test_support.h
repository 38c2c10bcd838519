// Helpers shared by the engine and window-logic tests.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "converter.h"
#include "encoder_report_sink.h"

namespace vantrel::testing {

// A fresh folder under $TMPDIR, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

void WriteFile(const std::string& path, const std::string& content);
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);

// Processes whose command line mentions `token` (a test's temp folder, say).
std::vector<int> ProcessesMentioning(const std::string& token);
// Children of this process that have ended but were not reaped.
int ZombieChildren();
int OpenFileDescriptors();

// Makes file permissions bind this process and what it starts, even as root
// (CI runs as root): drops the capabilities that override them, for good.
void DropFilePermissionOverrides();

// What a shell command prints on its standard output.
std::string Capture(const std::string& command);
// A path quoted for the shell, whatever it holds.
std::string ShellQuoted(const std::string& path);

// A movie of `seconds` of 640x480 25 fps h264 with aac sound, made by the
// real ffmpeg.
bool MakeClip(const std::string& path, int seconds);

// What ffprobe says of a file's streams and container, in its compact form:
// "stream|codec_name=...|width=...|..." lines and a "format|format_name=..." one.
std::string ProbeStreams(const std::string& path);

// Whether ffprobe reads the file as the handheld's movie: 256x192 12 fps
// MPEG-1 video, mono 22050 Hz MP2 sound, in an MPEG program stream.
::testing::AssertionResult IsHandheldMovie(const std::string& path);

// How the tests run an encoder: this program, no console input forwarded, and
// the given free-space source (the real one when null).
EncoderSetup TestEncoderSetup(std::string encoderPath,
                              std::shared_ptr<const FreeSpaceSource> freeSpace = nullptr);

// Peak resident memory of this process, in KiB.
long PeakResidentKiB();

std::string Repeat(const std::string& text, int times);

// Waits until `condition` holds, testing it again whenever `version` (guarded
// by `mutex`, bumped with a notify on `changed`) moves. False if it has not
// held within a generous bound: a guard against a hang, not a timing.
bool WaitForCondition(std::mutex& mutex, std::condition_variable& changed,
                      const uint64_t& version, const std::function<bool()>& condition);

// Records what a run reports; safe from any thread. WaitUntil returns false
// if the condition is not met within a generous bound (a hang, not a timing).
class RecordingObserver : public EncoderReportSink {
public:
    void SetPanelText(PanelField field, std::string_view text) override;
    void PostProgress(int32_t position) override;

    bool WaitUntil(const std::function<bool()>& condition);
    std::string Text(PanelField field);
    std::vector<int32_t> Posts();

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<PanelField, std::string> panel_;
    std::vector<int32_t> posts_;
    uint64_t version_ = 0;
};

}  // namespace vantrel::testing
