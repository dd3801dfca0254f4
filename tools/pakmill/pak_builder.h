#pragma once

#include <string>

// Packs every regular file under `dir` into an archive at `outPath`. Names
// are the files' paths relative to dir's parent, with backslashes
// ("data\config.script"); the directory is sorted by lower-case name.
// On failure returns false with a one-line reason in *error.
bool BuildArchive(const std::string& outPath, const std::string& dir, std::string* error);

// Prints each entry's name and size, one a line, then a total line.
bool ListArchive(const std::string& pakPath, std::string* error);

// Writes every entry below `dir` ('\' becomes '/'); refuses names that would
// leave it.
bool ExtractArchive(const std::string& pakPath, const std::string& dir, std::string* error);
