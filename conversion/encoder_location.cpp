#include "conversion/encoder_location.h"

#include "platform/program_folder.h"
#include "platform/target_file.h"

namespace vantrel {

std::string LocateEncoder() {
    const std::string name = ProgramFileName("ffmpeg");
    const std::string besideProgram = JoinPath(ProgramFolder(), name);
    if (IsExecutableFile(besideProgram)) return besideProgram;
    const std::string onPath = FindOnPath(name);
    return onPath.empty() ? besideProgram : onPath;
}

std::string LocateSubtitleFont() {
    const std::string name = "DejaVuSans.ttf";
    const std::string besideProgram = JoinPath(JoinPath(ProgramFolder(), "fonts"), name);
    if (GetFileLength(besideProgram) > 0) return besideProgram;
    return "/usr/share/fonts/truetype/dejavu/" + name;
}

}  // namespace vantrel
