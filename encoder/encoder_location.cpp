#include "encoder_location.h"

#include "program_folder.h"

namespace vantrel {

std::string LocateEncoder() {
    const std::string besideProgram = ProgramFolder() + "/ffmpeg";
    if (IsExecutableFile(besideProgram)) return besideProgram;
    const std::string onPath = FindOnPath("ffmpeg");
    return onPath.empty() ? besideProgram : onPath;
}

}  // namespace vantrel
