// The AVI header walk that decides whether a file is a clip and at what rate.
#include <cstddef>
#include <cstdint>

#include "platform/avi_header.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::AviHeader header;
    platform::ReadAviHeader(data, size, &header);
    return 0;
}
