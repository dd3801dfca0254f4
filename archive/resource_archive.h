#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "script/file_access.h"

// The data archive "data.pak": a header ("PACK", directory offset, directory
// size), the entries' bytes, and a directory of 64-byte entries sorted by
// lower-case path. The file is mapped read-only for the whole run; lookups
// hand out addresses inside the mapping.
class ResourceArchive : public ResourceProvider {
public:
    static constexpr std::uint32_t kMagic = 0x4B434150;  // "PACK"
    static constexpr std::size_t kHeaderSize = 12;
    static constexpr std::size_t kEntrySize = 64;
    static constexpr std::size_t kPathSize = 56;

    struct Entry {
        char path[kPathSize];  // lower case, zero-terminated
        std::uint32_t offset;
        std::uint32_t size;
    };
    static_assert(sizeof(Entry) == kEntrySize);

    ResourceArchive() = default;
    ~ResourceArchive() override;
    ResourceArchive(const ResourceArchive&) = delete;
    ResourceArchive& operator=(const ResourceArchive&) = delete;

    // Maps the file and checks it. Any failure leaves the archive absent,
    // silently: every reader then uses loose files.
    bool Open(const char* path = "data.pak");

    // Uses bytes the caller keeps alive (tests, fuzzing, embedded data).
    bool OpenMemory(const std::uint8_t* bytes, std::size_t size);

    void Close();
    bool IsOpen() const { return valid_; }

    // Finds a path (any case, backslashes). Paths of 56 characters or more,
    // and entries whose bytes lie outside the file, are not found.
    bool Find(const char* path, const std::uint8_t** data, std::uint32_t* size) const override;

    // The entry of a path in the lower-case directory and the number of
    // entries from it to the end (itself included); nullptr when not found.
    const Entry* FindEntry(const char* path, int* remaining) const;

    // Entry bytes, if they lie inside the file.
    bool EntryData(const Entry& entry, const std::uint8_t** data, std::uint32_t* size) const;

    int EntryCount() const { return count_; }
    const Entry* Entries() const { return directory_.get(); }

private:
    bool Attach(const std::uint8_t* base, std::size_t size);
    int Search(const char* path) const;

    const std::uint8_t* base_ = nullptr;
    std::size_t size_ = 0;
    void* mapping_ = nullptr;  // set when the bytes are our own mapping
    std::unique_ptr<Entry[]> directory_;
    int count_ = 0;
    bool valid_ = false;
};
