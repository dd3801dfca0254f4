#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// A fresh, empty folder under the test working directory, removed with the
// object. Tests write their own small files there.
class ScratchDir {
public:
    explicit ScratchDir(const std::string& name);
    ~ScratchDir();
    const std::string& Path() const { return path_; }
    // Path of a file in the folder ('/'-separated).
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);

// The four bytes of a little-endian 32-bit value.
std::string LittleEndian32(std::uint32_t v);
// A data.pak image: "PACK", the directory's offset and size, the items'
// bytes, then their 64-byte directory entries in the order given (and
// `extraDirBytes` zero bytes more).
std::string PackArchive(const std::vector<std::pair<std::string, std::string>>& items,
                        std::uint32_t extraDirBytes = 0);

// Runs a shell command, returning its exit code and what it printed on
// standard output.
int RunCommand(const std::string& command, std::string* output);

// The lines appended to Zarnik.log by what `fn` does.
template <typename Fn>
std::string LogAddedBy(Fn&& fn) {
    std::string before = ReadFile("Zarnik.log");
    fn();
    std::string after = ReadFile("Zarnik.log");
    return after.size() >= before.size() ? after.substr(before.size()) : after;
}
