#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Tells when a file was written anew: inotify on the file's folder (so a
// file replaced by a rename, as editors save, is still seen), or, where that
// is missing, a look at the file's time, size and inode on each call. Either
// way only a complete file counts: a closed write or a rename into place;
// the poll reports a change once it has held still for one call.
class FileWatch {
public:
    FileWatch() = default;
    ~FileWatch();
    FileWatch(const FileWatch&) = delete;
    FileWatch& operator=(const FileWatch&) = delete;

    // Starts watching `path` (a system path; it need not exist yet). With
    // `poll` the file's time is looked at even where inotify works.
    bool Watch(const std::string& path, bool poll = false);
    void Stop();
    // True once for each change since the last call.
    bool Changed();

    bool Watching() const { return !path_.empty(); }
    bool Polling() const { return Watching() && fd_ < 0; }
    const std::string& Path() const { return path_; }

private:
    struct Stamp {
        bool exists = false;
        std::int64_t seconds = 0, nanoseconds = 0, size = 0;
        std::uint64_t inode = 0;
        bool operator==(const Stamp& o) const {
            return exists == o.exists && seconds == o.seconds && nanoseconds == o.nanoseconds &&
                   size == o.size && inode == o.inode;
        }
    };
    static Stamp StampOf(const std::string& path);
    bool DrainEvents();

    std::string path_, folder_, name_;
    int fd_ = -1;
    int wd_ = -1;
    Stamp stamp_, pending_;
    bool pendingSeen_ = false;
};

}  // namespace platform
