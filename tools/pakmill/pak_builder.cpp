#include "tools/pakmill/pak_builder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "archive/resource_archive.h"
#include "script/file_access.h"

namespace fs = std::filesystem;

namespace {

struct Item {
    std::string name;   // as stored: backslashes, original case
    std::string lower;  // sort key
    fs::path source;
    std::uint64_t size = 0;
};

std::string Lower(std::string s) {
    for (char& c : s)
        c = LowerAscii(c);
    return s;
}

void PutLe32(std::vector<char>* out, std::uint32_t v) {
    for (int k = 0; k < 4; ++k)
        out->push_back(char((v >> (8 * k)) & 0xFF));
}

bool ReadAll(const fs::path& path, std::vector<std::uint8_t>* bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool OpenArchive(const std::string& pakPath, std::vector<std::uint8_t>* bytes,
                 ResourceArchive* archive, std::string* error) {
    if (!ReadAll(pakPath, bytes)) {
        *error = "can't read '" + pakPath + "'";
        return false;
    }
    if (!archive->OpenMemory(bytes->data(), bytes->size())) {
        *error = "'" + pakPath + "' is not an archive (bad magic or directory outside the file)";
        return false;
    }
    return true;
}

}  // namespace

bool BuildArchive(const std::string& outPath, const std::string& dir, std::string* error) {
    std::error_code ec;
    fs::path root = fs::absolute(fs::path(dir), ec).lexically_normal();
    if (root.has_filename() == false)
        root = root.parent_path();
    if (!fs::is_directory(root, ec)) {
        *error = "'" + dir + "' is not a folder";
        return false;
    }
    const std::string top = root.filename().string();

    std::vector<Item> items;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        if (!it->is_regular_file(ec))
            continue;
        fs::path rel = fs::relative(it->path(), root, ec);
        if (ec)
            break;
        std::string name = top;
        for (const fs::path& part : rel) {
            name += '\\';
            name += part.string();
        }
        Item item{name, Lower(name), it->path(), it->file_size(ec)};
        if (ec)
            break;
        if (name.size() >= ResourceArchive::kPathSize) {
            *error = "name too long for the archive (55 characters at most): '" + name + "'";
            return false;
        }
        items.push_back(std::move(item));
    }
    if (ec) {
        *error = "can't read '" + dir + "': " + ec.message();
        return false;
    }
    std::sort(items.begin(), items.end(),
              [](const Item& a, const Item& b) { return a.lower < b.lower; });
    for (std::size_t i = 1; i < items.size(); ++i) {
        if (items[i].lower == items[i - 1].lower) {
            *error = "two files differ only in case: '" + items[i - 1].name + "' and '" +
                     items[i].name + "'";
            return false;
        }
    }

    std::vector<char> image(ResourceArchive::kHeaderSize, '\0');
    std::vector<char> directory;
    for (const Item& item : items) {
        std::vector<std::uint8_t> bytes;
        if (!ReadAll(item.source, &bytes)) {
            *error = "can't read '" + item.source.string() + "'";
            return false;
        }
        if (image.size() + bytes.size() > 0xFFFFFFFFull) {
            *error = "archive would exceed 4 GiB at '" + item.name + "'";
            return false;
        }
        char path[ResourceArchive::kPathSize] = {};
        std::memcpy(path, item.name.data(), item.name.size());
        directory.insert(directory.end(), path, path + sizeof path);
        PutLe32(&directory, std::uint32_t(image.size()));
        PutLe32(&directory, std::uint32_t(bytes.size()));
        image.insert(image.end(), bytes.begin(), bytes.end());
    }
    if (image.size() + directory.size() > 0xFFFFFFFFull) {
        *error = "archive would exceed 4 GiB";
        return false;
    }
    std::vector<char> header;
    PutLe32(&header, ResourceArchive::kMagic);
    PutLe32(&header, std::uint32_t(image.size()));
    PutLe32(&header, std::uint32_t(directory.size()));
    std::copy(header.begin(), header.end(), image.begin());
    image.insert(image.end(), directory.begin(), directory.end());

    // Write beside the target and rename, so a failed run never leaves a
    // half-written archive under the real name.
    const std::string temp = outPath + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out.write(image.data(), std::streamsize(image.size())) || !out.flush()) {
            *error = "can't write '" + temp + "'";
            fs::remove(temp, ec);
            return false;
        }
    }
    fs::rename(temp, outPath, ec);
    if (ec) {
        *error = "can't write '" + outPath + "': " + ec.message();
        fs::remove(temp, ec);
        return false;
    }
    std::printf("%s: %zu files, %zu bytes\n", outPath.c_str(), items.size(), image.size());
    return true;
}

bool ListArchive(const std::string& pakPath, std::string* error) {
    std::vector<std::uint8_t> bytes;
    ResourceArchive archive;
    if (!OpenArchive(pakPath, &bytes, &archive, error))
        return false;
    std::uint64_t total = 0;
    for (int i = 0; i < archive.EntryCount(); ++i) {
        const ResourceArchive::Entry& e = archive.Entries()[i];
        std::printf("%10u  %s\n", e.size, e.path);
        total += e.size;
    }
    std::printf("%d entries, %llu bytes\n", archive.EntryCount(), (unsigned long long)total);
    return true;
}

bool ExtractArchive(const std::string& pakPath, const std::string& dir, std::string* error) {
    std::vector<std::uint8_t> bytes;
    ResourceArchive archive;
    if (!OpenArchive(pakPath, &bytes, &archive, error))
        return false;
    for (int i = 0; i < archive.EntryCount(); ++i) {
        const ResourceArchive::Entry& e = archive.Entries()[i];
        fs::path rel;
        for (std::string_view rest(e.path); !rest.empty();) {
            std::size_t sep = rest.find_first_of("\\/");
            std::string part(rest.substr(0, sep));
            rest = sep == std::string_view::npos ? std::string_view() : rest.substr(sep + 1);
            if (part.empty() || part == "." || part == "..") {
                *error = std::string("refusing entry name '") + e.path + "'";
                return false;
            }
            rel /= part;
        }
        const std::uint8_t* data = nullptr;
        std::uint32_t size = 0;
        if (rel.empty() || !archive.EntryData(e, &data, &size)) {
            *error = std::string("entry '") + e.path + "' lies outside the archive";
            return false;
        }
        fs::path target = fs::path(dir) / rel;
        std::error_code ec;
        fs::create_directories(target.parent_path(), ec);
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        if (!out.write(reinterpret_cast<const char*>(data), size)) {
            *error = "can't write '" + target.string() + "'";
            return false;
        }
    }
    std::printf("%d files extracted to %s\n", archive.EntryCount(), dir.c_str());
    return true;
}
