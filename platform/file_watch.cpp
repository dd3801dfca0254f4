#include "platform/file_watch.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#if defined(__linux__)
#include <sys/inotify.h>
#endif

namespace platform {

FileWatch::~FileWatch() {
    Stop();
}

FileWatch::Stamp FileWatch::StampOf(const std::string& path) {
    Stamp s;
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return s;
    s.exists = true;
    s.seconds = std::int64_t(st.st_mtim.tv_sec);
    s.nanoseconds = std::int64_t(st.st_mtim.tv_nsec);
    s.size = std::int64_t(st.st_size);
    s.inode = std::uint64_t(st.st_ino);
    return s;
}

bool FileWatch::Watch(const std::string& path, bool poll) {
    Stop();
    if (path.empty())
        return false;
    path_ = path;
    const std::size_t slash = path.find_last_of('/');
    folder_ = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    name_ = slash == std::string::npos ? path : path.substr(slash + 1);
    stamp_ = StampOf(path);
    pendingSeen_ = false;
#if defined(__linux__)
    if (!poll) {
        fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (fd_ >= 0) {
            wd_ = inotify_add_watch(fd_, folder_.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO);
            if (wd_ < 0) {
                close(fd_);
                fd_ = -1;
            }
        }
    }
#else
    (void)poll;
#endif
    return true;
}

void FileWatch::Stop() {
    if (fd_ >= 0)
        close(fd_);
    fd_ = -1;
    wd_ = -1;
    path_.clear();
}

bool FileWatch::DrainEvents() {
    bool changed = false;
#if defined(__linux__)
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t n = read(fd_, buffer, sizeof buffer);
        if (n <= 0)
            break;
        for (ssize_t at = 0; at + ssize_t(sizeof(inotify_event)) <= n;) {
            const inotify_event* e = reinterpret_cast<const inotify_event*>(buffer + at);
            if (e->len > 0 && std::strncmp(e->name, name_.c_str(), e->len) == 0 &&
                name_.size() < e->len && e->name[name_.size()] == '\0')
                changed = true;
            // The whole folder is gone or unmounted: fall back to its time.
            if (e->mask & IN_IGNORED) {
                close(fd_);
                fd_ = -1;
                return changed;
            }
            at += ssize_t(sizeof(inotify_event) + e->len);
        }
    }
#endif
    return changed;
}

bool FileWatch::Changed() {
    if (!Watching())
        return false;
    if (fd_ >= 0) {
        const bool changed = DrainEvents();
        if (changed)
            stamp_ = StampOf(path_);
        return changed;
    }
    // The poll: a new stamp counts once the next call sees it again, so a
    // file still being written is not taken half done.
    const Stamp now = StampOf(path_);
    if (now == stamp_) {
        pendingSeen_ = false;
        return false;
    }
    if (!now.exists)
        return false;
    if (!pendingSeen_ || !(now == pending_)) {
        pending_ = now;
        pendingSeen_ = true;
        return false;
    }
    stamp_ = now;
    pendingSeen_ = false;
    return true;
}

}  // namespace platform
