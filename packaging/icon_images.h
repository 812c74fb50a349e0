#pragma once

#include <cstddef>

namespace praxora {

// One PNG of the program's icon, square, size pixels wide.
struct IconImage {
    int size;
    const unsigned char* png;
    size_t length;
};

const IconImage* IconImages(size_t& count);

}  // namespace praxora
