#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Data files are named as the scripts name them: relative to the program's
// folder, with backslashes ("data\fonts.script"). Every loader asks the
// installed resource provider (the archive, in the game) first and falls back
// to the loose file.

class ResourceProvider {
public:
    virtual ~ResourceProvider() = default;
    // Does the provider hold this name? On success *data and *size describe
    // bytes that stay valid while the provider is installed.
    virtual bool Find(const char* path, const std::uint8_t** data, std::uint32_t* size) const = 0;
};

// Installs the provider every loader consults first; nullptr removes it.
void SetResourceProvider(const ResourceProvider* provider);
const ResourceProvider* GetResourceProvider();

// Asks the installed provider, if there is one.
bool FindResource(const char* path, const std::uint8_t** data, std::uint32_t* size);

// Maps a system path to the loose file it names on this machine: '\' becomes
// '/', and where the exact path does not exist each component is matched
// without regard to case. A component that matches nothing is kept as
// written, so the result can name a file about to be created. The player's
// own files go to the user data folder when one is set (below).
std::string ResolveLoosePath(const char* systemPath);

// The files the game writes for its player ("data\settings", "data\scores",
// "data\options.script", everything under "data\replays\", "Zarnik.log").
// While a user data folder is set (the program's folder is not writable),
// ResolveLoosePath maps these names into it, so every reader and writer of
// them follows without knowing.
void SetUserDataFolder(const std::string& folder);  // "" for none
const std::string& UserDataFolder();
bool IsUserDataPath(const char* systemPath);

// fopen of the resolved loose path.
std::FILE* OpenLooseFile(const char* systemPath, const char* mode);

// Reads a loose file whole. Returns false if it can't be opened or read.
bool ReadLooseFile(const char* systemPath, std::vector<std::uint8_t>* bytes);

// Reads a data file whole: from the provider when it holds the name, else
// from the loose file.
bool ReadDataFile(const char* systemPath, std::vector<std::uint8_t>* bytes);

// ASCII lower case; bytes of 128 and above are left alone whatever the locale.
inline char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}
