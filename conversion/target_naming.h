#pragma once

#include <string>

namespace vantrel {

// Results of DeriveTargetPath.
enum TargetNaming : int {
    kTargetDerived = 1,       // the target is stored
    kAlreadyTarget = 0,       // the source already has the target's extension
    kNoUsableExtension = -1,  // no '.' in the file name
    kUnknownExtension = -2,   // an extension not in kSourceExtensions
};

// Derives the converted file's path from the source's: the source with its
// file name lower-cased and its extension replaced ("/m/Trip.AVI" gives
// "/m/trip.d3v"). Folders keep their case, since file names on Linux are
// case-sensitive. `target` is written only when the result is kTargetDerived.
int DeriveTargetPath(std::string& target, const std::string& source, const std::string& extension);

// Why a name was refused, for those who get told (the command-line converter).
std::string DescribeRejectedName(int naming);

}  // namespace vantrel
