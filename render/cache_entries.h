#pragma once

#include "script/flist.h"

// The reference counting shared by the picture and font caches. Each entry
// holds a name, a count and an owned object reached through `member`.

// Drops one reference to `object` and clears the caller's pointer; the last
// reference deletes the object and its entry.
template <typename Entry, typename T>
void ReleaseCacheEntry(flist<Entry>& entries, T* Entry::*member, T*& object) {
    for (int i = entries.Count - 1; i >= 0; --i) {
        Entry& e = entries[i];
        if (e.*member != object)
            continue;
        object = nullptr;
        if (--e.count <= 0) {
            T* doomed = e.*member;
            entries.RemoveAt(i);
            delete doomed;
        }
        return;
    }
}

template <typename Entry, typename T>
int CacheEntryCount(const flist<Entry>& entries, T* Entry::*member, const T* object) {
    for (int i = entries.Count - 1; i >= 0; --i)
        if ((entries[i].*member) == object)
            return entries[i].count;
    return 0;
}

template <typename Entry, typename T>
void ClearCacheEntries(flist<Entry>& entries, T* Entry::*member) {
    for (int i = entries.Count - 1; i >= 0; --i)
        delete (entries[i].*member);
    entries.Clear();
}
