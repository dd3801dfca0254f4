#include "archive/resource_archive.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace {

std::uint32_t GetLe32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

}  // namespace

ResourceArchive::~ResourceArchive() {
    Close();
}

bool ResourceArchive::Open(const char* path) {
    Close();
    std::string native = ResolveLoosePath(path);
    int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st;
    if (::fstat(fd, &st) != 0 || st.st_size <= 0) {
        ::close(fd);
        return false;
    }
    void* view = ::mmap(nullptr, std::size_t(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);  // the mapping keeps the file
    if (view == MAP_FAILED)
        return false;
    mapping_ = view;
    if (!Attach(static_cast<const std::uint8_t*>(view), std::size_t(st.st_size))) {
        Close();
        return false;
    }
    return true;
}

bool ResourceArchive::OpenMemory(const std::uint8_t* bytes, std::size_t size) {
    Close();
    if (!Attach(bytes, size)) {
        Close();
        return false;
    }
    return true;
}

bool ResourceArchive::Attach(const std::uint8_t* base, std::size_t size) {
    base_ = base;
    size_ = size;
    if (base == nullptr || size < kHeaderSize || GetLe32(base) != kMagic)
        return false;
    const std::uint64_t dirOffset = GetLe32(base + 4);
    const std::uint64_t dirSize = GetLe32(base + 8);
    const std::uint64_t count = dirSize / kEntrySize;
    // A directory outside the file means no archive at all.
    if (dirOffset + count * kEntrySize > size)
        return false;

    directory_.reset(new Entry[count]);
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint8_t* raw = base + dirOffset + i * kEntrySize;
        Entry& e = directory_[i];
        std::memcpy(e.path, raw, kPathSize);
        e.path[kPathSize - 1] = '\0';  // an unterminated name is cut, never overrun
        for (char& c : e.path)
            c = LowerAscii(c);
        e.offset = GetLe32(raw + 56);
        e.size = GetLe32(raw + 60);
    }
    count_ = int(count);
    valid_ = true;
    return true;
}

void ResourceArchive::Close() {
    if (mapping_ != nullptr)
        ::munmap(mapping_, size_);
    mapping_ = nullptr;
    base_ = nullptr;
    size_ = 0;
    directory_.reset();
    count_ = 0;
    valid_ = false;
}

int ResourceArchive::Search(const char* path) const {
    if (!valid_ || path == nullptr)
        return -1;
    char key[kPathSize];
    std::size_t n = 0;
    for (; path[n] != '\0'; ++n) {
        if (n + 1 >= kPathSize)
            return -1;  // too long for the directory
        key[n] = LowerAscii(path[n]);
    }
    key[n] = '\0';
    int lo = 0;
    int hi = count_ - 1;
    while (lo <= hi) {
        int mid = lo + (hi - lo) / 2;
        int cmp = std::strcmp(key, directory_[mid].path);
        if (cmp == 0)
            return mid;
        if (cmp < 0) {
            hi = mid - 1;
        } else {
            lo = mid + 1;
        }
    }
    return -1;
}

bool ResourceArchive::EntryData(const Entry& entry, const std::uint8_t** data,
                                std::uint32_t* size) const {
    if (!valid_ || std::uint64_t(entry.offset) + entry.size > size_)
        return false;
    *data = base_ + entry.offset;
    *size = entry.size;
    return true;
}

bool ResourceArchive::Find(const char* path, const std::uint8_t** data, std::uint32_t* size) const {
    int i = Search(path);
    return i >= 0 && EntryData(directory_[i], data, size);
}

const ResourceArchive::Entry* ResourceArchive::FindEntry(const char* path, int* remaining) const {
    int i = Search(path);
    if (i < 0)
        return nullptr;
    if (remaining != nullptr)
        *remaining = count_ - i;
    return &directory_[i];
}
