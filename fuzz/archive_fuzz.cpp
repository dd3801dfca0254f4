// Opens arbitrary bytes as an archive and looks names up: entries that lie
// outside the bytes must be "not found", never read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "archive/resource_archive.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ResourceArchive archive;
    if (!archive.OpenMemory(data, size))
        return 0;
    volatile std::uint8_t sink = 0;
    for (int i = 0; i < archive.EntryCount() && i < 64; ++i) {
        const ResourceArchive::Entry& e = archive.Entries()[i];
        const std::uint8_t* bytes = nullptr;
        std::uint32_t n = 0;
        if (archive.Find(e.path, &bytes, &n)) {
            if (bytes < data || bytes + n > data + size)
                std::abort();
            if (n > 0)
                sink = sink + bytes[0] + bytes[n - 1];
        }
        int remaining = 0;
        if (archive.FindEntry(e.path, &remaining) &&
            (remaining < 1 || remaining > archive.EntryCount()))
            std::abort();
    }
    const std::uint8_t* bytes = nullptr;
    std::uint32_t n = 0;
    archive.Find("data\\config.script", &bytes, &n);
    archive.Find("DATA\\A\\VERY\\LONG\\PATH\\THAT\\IS\\MUCH\\LONGER\\THAN\\FIFTY\\SIX\\CHARS",
                 &bytes, &n);
    return 0;
}
