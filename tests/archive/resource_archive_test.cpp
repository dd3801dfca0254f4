#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "archive/resource_archive.h"
#include "script/script_block.h"
#include "script/zarnik_script.h"
#include "tests/test_files.h"

namespace {

std::string Le32(std::uint32_t v) {
    std::string s(4, '\0');
    for (int k = 0; k < 4; ++k)
        s[k] = char((v >> (8 * k)) & 0xFF);
    return s;
}

struct Item {
    std::string name;
    std::string bytes;
};

// Lays out an archive by hand: header, data, then the directory in the
// order given (callers pass it sorted unless a test wants otherwise).
std::string MakePak(const std::vector<Item>& items, std::uint32_t extraDirBytes = 0) {
    std::string data;
    std::string dir;
    for (const Item& item : items) {
        std::string name = item.name;
        name.resize(56, '\0');
        dir +=
            name + Le32(std::uint32_t(12 + data.size())) + Le32(std::uint32_t(item.bytes.size()));
        data += item.bytes;
    }
    dir += std::string(extraDirBytes, '\0');
    return "PACK" + Le32(std::uint32_t(12 + data.size())) + Le32(std::uint32_t(dir.size())) + data +
           dir;
}

bool Find(const ResourceArchive& a, const char* path, std::string* out) {
    const std::uint8_t* bytes = nullptr;
    std::uint32_t size = 0;
    if (!a.Find(path, &bytes, &size))
        return false;
    out->assign(reinterpret_cast<const char*>(bytes), size);
    return true;
}

}  // namespace

TEST(ResourceArchive, LookupIgnoresCaseAndBinarySearches) {
    const std::string pak = MakePak({{"data\\a.bmp", "A"},
                                     {"data\\config.script", "video { };;"},
                                     {"data\\fonts.script", "F"},
                                     {"data\\sounds\\hit.wav", "W"},
                                     {"data\\zero", ""}});
    ResourceArchive a;
    ASSERT_TRUE(a.OpenMemory(reinterpret_cast<const std::uint8_t*>(pak.data()), pak.size()));
    std::string out;
    for (const char* name :
         {"data\\a.bmp", "DATA\\CONFIG.SCRIPT", "Data\\Fonts.Script", "data\\sounds\\HIT.wav"}) {
        EXPECT_TRUE(Find(a, name, &out)) << name;
    }
    ASSERT_TRUE(Find(a, "data\\config.script", &out));
    EXPECT_EQ(out, "video { };;");
    ASSERT_TRUE(Find(a, "data\\zero", &out));
    EXPECT_EQ(out, "");
    EXPECT_FALSE(Find(a, "data/config.script", &out));  // the archive names use backslashes
    EXPECT_FALSE(Find(a, "data\\config", &out));
    EXPECT_FALSE(Find(a, "", &out));

    int remaining = 0;
    const ResourceArchive::Entry* e = a.FindEntry("DATA\\FONTS.SCRIPT", &remaining);
    ASSERT_NE(e, nullptr);
    EXPECT_STREQ(e->path, "data\\fonts.script");
    EXPECT_EQ(remaining, 3);
    EXPECT_STREQ(e[1].path, "data\\sounds\\hit.wav");
    EXPECT_EQ(a.FindEntry("data\\nothing", &remaining), nullptr);
}

TEST(ResourceArchive, PathsOf56CharactersOrMoreAreNotFound) {
    const std::string name55 = "data\\" + std::string(50, 'x');
    ASSERT_EQ(name55.size(), 55u);
    const std::string pak = MakePak({{name55, "ok"}});
    ResourceArchive a;
    ASSERT_TRUE(a.OpenMemory(reinterpret_cast<const std::uint8_t*>(pak.data()), pak.size()));
    std::string out;
    EXPECT_TRUE(Find(a, name55.c_str(), &out));
    EXPECT_FALSE(Find(a, (name55 + "x").c_str(), &out));
    EXPECT_FALSE(Find(a, (name55 + std::string(300, 'y')).c_str(), &out));
}

TEST(ResourceArchive, DirectorySizeRemainderIsIgnored) {
    const std::string pak = MakePak({{"a", "1"}, {"b", "2"}}, 2);  // 130 bytes of directory
    ResourceArchive a;
    ASSERT_TRUE(a.OpenMemory(reinterpret_cast<const std::uint8_t*>(pak.data()), pak.size()));
    EXPECT_EQ(a.EntryCount(), 2);
}

TEST(ResourceArchive, DamagedArchivesAreAbsentOrMissEntries) {
    ResourceArchive a;
    std::string pak = MakePak({{"a", "1"}});
    std::string bad = pak;
    bad[0] = 'K';
    EXPECT_FALSE(a.OpenMemory(reinterpret_cast<const std::uint8_t*>(bad.data()), bad.size()));
    EXPECT_FALSE(a.IsOpen());

    // Directory past the end of the file: no archive.
    bad = pak.substr(0, pak.size() - 1);
    EXPECT_FALSE(a.OpenMemory(reinterpret_cast<const std::uint8_t*>(bad.data()), bad.size()));
    EXPECT_FALSE(a.OpenMemory(reinterpret_cast<const std::uint8_t*>(pak.data()), 11));

    // An entry whose bytes lie outside the file: that entry is not found.
    std::string pak2 = MakePak({{"a", "1"}, {"b", "2"}});
    const std::size_t secondSize = pak2.size() - 4;
    pak2.replace(secondSize, 4, Le32(0x7FFFFFFF));
    ASSERT_TRUE(a.OpenMemory(reinterpret_cast<const std::uint8_t*>(pak2.data()), pak2.size()));
    std::string out;
    EXPECT_TRUE(Find(a, "a", &out));
    EXPECT_FALSE(Find(a, "b", &out));

    // A name that fills its 56 bytes is cut, not read past.
    std::string full = MakePak({{std::string(56, 'q'), "1"}});
    ASSERT_TRUE(a.OpenMemory(reinterpret_cast<const std::uint8_t*>(full.data()), full.size()));
    EXPECT_TRUE(Find(a, std::string(55, 'q').c_str(), &out));
}

TEST(ResourceArchive, InstalledArchiveFeedsTheScriptLoader) {
    ScratchDir dir("archive-loader");
    const std::string pak = MakePak({{"data\\config.script", "volume = 0.5;"}});
    WriteFile(dir.File("data.pak"), pak);
    WriteFile(dir.File("data/config.script"), "volume = 1.0;");
    WriteFile(dir.File("data/loose.script"), "loose = 1;");

    ResourceArchive archive;
    ASSERT_TRUE(archive.Open(dir.File("data.pak").c_str()));
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    SetResourceProvider(&archive);
    ZarnikScr packed("data\\config.script");
    ZarnikScr loose("data\\loose.script");
    SetResourceProvider(nullptr);
    ASSERT_EQ(chdir(".."), 0);
    EXPECT_FLOAT_EQ(TokReal(packed, 2), 0.5f);
    EXPECT_TRUE(TokIsWord(loose, 0, "loose"));

    // A wrong magic leaves the process without an archive.
    WriteFile(dir.File("bad.pak"), "JUNK" + pak.substr(4));
    EXPECT_FALSE(archive.Open(dir.File("bad.pak").c_str()));
    EXPECT_FALSE(archive.Open(dir.File("none.pak").c_str()));
}
