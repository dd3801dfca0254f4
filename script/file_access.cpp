#include "script/file_access.h"

#include <dirent.h>
#include <sys/stat.h>

#include <atomic>
#include <cstring>

namespace {

std::atomic<const ResourceProvider*> g_provider{nullptr};
// Set once at start-up, before any other thread runs.
std::string g_userFolder;

// Names compared with '/' and '\\' alike and without regard to case.
bool SameName(const char* path, const char* name, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        char a = path[i] == '/' ? '\\' : path[i];
        if (a == '\0' || LowerAscii(a) != LowerAscii(name[i]))
            return false;
    }
    return true;
}

bool Exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

bool EqualNoCase(const char* a, const std::string& b) {
    std::size_t i = 0;
    for (; a[i] != '\0' && i < b.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return a[i] == '\0' && i == b.size();
}

// Finds an entry of `dir` whose name equals `name` without regard to case.
bool MatchInDirectory(const std::string& dir, const std::string& name, std::string* match) {
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (d == nullptr)
        return false;
    bool found = false;
    while (dirent* entry = ::readdir(d)) {
        if (EqualNoCase(entry->d_name, name)) {
            *match = entry->d_name;
            found = true;
            break;
        }
    }
    ::closedir(d);
    return found;
}

}  // namespace

void SetResourceProvider(const ResourceProvider* provider) {
    g_provider.store(provider);
}
const ResourceProvider* GetResourceProvider() {
    return g_provider.load();
}

bool FindResource(const char* path, const std::uint8_t** data, std::uint32_t* size) {
    const ResourceProvider* provider = g_provider.load();
    return provider != nullptr && provider->Find(path, data, size);
}

void SetUserDataFolder(const std::string& folder) {
    g_userFolder = folder;
    while (g_userFolder.size() > 1 && g_userFolder.back() == '/')
        g_userFolder.pop_back();
}

const std::string& UserDataFolder() {
    return g_userFolder;
}

bool IsUserDataPath(const char* systemPath) {
    if (systemPath == nullptr)
        return false;
    static constexpr const char* kFiles[] = {"data\\settings", "data\\scores",
                                             "data\\options.script", "Zarnik.log"};
    for (const char* name : kFiles) {
        const std::size_t n = std::strlen(name);
        if (SameName(systemPath, name, n) && systemPath[n] == '\0')
            return true;
    }
    static constexpr const char kReplays[] = "data\\replays";
    const std::size_t n = sizeof kReplays - 1;
    return SameName(systemPath, kReplays, n) &&
           (systemPath[n] == '\0' || systemPath[n] == '\\' || systemPath[n] == '/');
}

std::string ResolveLoosePath(const char* systemPath) {
    std::string path(systemPath ? systemPath : "");
    for (char& c : path) {
        if (c == '\\')
            c = '/';
    }
    if (!g_userFolder.empty() && IsUserDataPath(systemPath))
        path = g_userFolder + "/" + path;
    if (path.empty() || Exists(path))
        return path;

    // Rebuild component by component, keeping what exists and matching the
    // rest without regard to case.
    std::string resolved;
    std::size_t pos = 0;
    if (path[0] == '/') {
        resolved = "/";
        pos = 1;
    }
    bool matching = true;
    while (pos <= path.size()) {
        std::size_t slash = path.find('/', pos);
        if (slash == std::string::npos)
            slash = path.size();
        std::string component = path.substr(pos, slash - pos);
        pos = slash + 1;
        if (component.empty())
            continue;

        std::string candidate = resolved;
        if (!candidate.empty() && candidate.back() != '/')
            candidate += '/';
        std::string match;
        if (matching && component != "." && component != ".." && !Exists(candidate + component) &&
            MatchInDirectory(resolved, component, &match)) {
            component = match;
        }
        candidate += component;
        if (matching && !Exists(candidate))
            matching = false;
        resolved = candidate;
    }
    return resolved;
}

std::FILE* OpenLooseFile(const char* systemPath, const char* mode) {
    std::string path = ResolveLoosePath(systemPath);
    if (path.empty())
        return nullptr;
    return std::fopen(path.c_str(), mode);
}

bool ReadLooseFile(const char* systemPath, std::vector<std::uint8_t>* bytes) {
    std::FILE* f = OpenLooseFile(systemPath, "rb");
    if (f == nullptr)
        return false;
    bytes->clear();
    bool ok = true;
    std::uint8_t chunk[65536];
    for (;;) {
        std::size_t n = std::fread(chunk, 1, sizeof chunk, f);
        bytes->insert(bytes->end(), chunk, chunk + n);
        if (n < sizeof chunk) {
            ok = !std::ferror(f);
            break;
        }
    }
    std::fclose(f);
    return ok;
}

bool ReadDataFile(const char* systemPath, std::vector<std::uint8_t>* bytes) {
    const std::uint8_t* data = nullptr;
    std::uint32_t size = 0;
    if (FindResource(systemPath, &data, &size)) {
        bytes->assign(data, data + size);
        return true;
    }
    return ReadLooseFile(systemPath, bytes);
}
