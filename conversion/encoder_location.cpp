#include "conversion/encoder_location.h"

#include "platform/program_folder.h"

namespace vantrel {

std::string LocateEncoder() {
    const std::string name = ProgramFileName("ffmpeg");
    const std::string besideProgram = JoinPath(ProgramFolder(), name);
    if (IsExecutableFile(besideProgram)) return besideProgram;
    const std::string onPath = FindOnPath(name);
    return onPath.empty() ? besideProgram : onPath;
}

}  // namespace vantrel
