#include "tests/test_files.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

ScratchDir::ScratchDir(const std::string& name) : path_("scratch-" + name) {
    std::error_code ec;
    fs::remove_all(path_, ec);
    fs::create_directories(path_);
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

void WriteFile(const std::string& path, const std::string& bytes) {
    fs::path p(path);
    if (p.has_parent_path())
        fs::create_directories(p.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool FileExists(const std::string& path) {
    return fs::exists(path);
}

std::string LittleEndian32(std::uint32_t v) {
    return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

std::string PackArchive(const std::vector<std::pair<std::string, std::string>>& items,
                        std::uint32_t extraDirBytes) {
    std::string data, dir;
    for (const auto& [name, bytes] : items) {
        std::string entry = name;
        entry.resize(56, '\0');
        dir += entry + LittleEndian32(std::uint32_t(12 + data.size())) +
               LittleEndian32(std::uint32_t(bytes.size()));
        data += bytes;
    }
    dir += std::string(extraDirBytes, '\0');
    return "PACK" + LittleEndian32(std::uint32_t(12 + data.size())) +
           LittleEndian32(std::uint32_t(dir.size())) + data + dir;
}

int RunCommand(const std::string& command, std::string* output) {
    output->clear();
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return -1;
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output->append(buffer, n);
    int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
