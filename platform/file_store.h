#pragma once

#include <cstddef>
#include <string>

namespace platform {

// Writes a temporary file beside `path` (a system path), flushes it to the
// disk and renames it into place, so the old file stays whole until the new
// one is complete. The file is readable by all, like any data file.
bool WriteFileAtomically(const std::string& path, const void* data, std::size_t size);

// Makes the folder and the folders above it; true when it exists afterwards.
bool MakeFolders(const std::string& path);

}  // namespace platform
