#include "parse/source_tracks.h"

namespace vantrel {

bool SubtitleTrack::IsImage() const {
    return codec == "hdmv_pgs_subtitle" || codec == "pgssub" || codec == "dvd_subtitle" ||
           codec == "dvdsub" || codec == "dvb_subtitle" || codec == "dvbsub" || codec == "xsub";
}

}  // namespace vantrel
