#pragma once

#include <array>
#include <cstddef>

namespace vantrel {

// One PNG image of the program's icon, built into the program.
struct IconImage {
    int size;
    const unsigned char* png;
    size_t length;
};

extern const std::array<IconImage, 3> kProgramIconImages;

}  // namespace vantrel
