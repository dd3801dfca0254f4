#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "archive/resource_archive.h"
#include "script/script_block.h"
#include "script/zarnik_script.h"
#include "tests/test_files.h"

namespace {

bool OpenImage(ResourceArchive* a, const std::string& pak, std::size_t size = std::string::npos) {
    return a->OpenMemory(reinterpret_cast<const std::uint8_t*>(pak.data()),
                         std::min(size, pak.size()));
}

// The entry's bytes, or "<none>".
std::string Find(const ResourceArchive& a, const std::string& path) {
    const std::uint8_t* bytes = nullptr;
    std::uint32_t size = 0;
    if (!a.Find(path.c_str(), &bytes, &size))
        return "<none>";
    return std::string(reinterpret_cast<const char*>(bytes), size);
}

}  // namespace

TEST(ResourceArchive, LookupIgnoresCaseAndBinarySearches) {
    const std::string name55 = "data\\" + std::string(50, 'x');
    const std::string pak = PackArchive({{"data\\a.bmp", "A"},
                                         {"data\\config.script", "video { };;"},
                                         {"data\\fonts.script", "F"},
                                         {"data\\sounds\\hit.wav", "W"},
                                         {name55, "55"},
                                         {"data\\zero", ""}});
    ResourceArchive a;
    ASSERT_TRUE(OpenImage(&a, pak));
    const std::pair<std::string, std::string> lookups[] = {
        {"DATA\\CONFIG.SCRIPT", "video { };;"},
        {"Data\\Fonts.Script", "F"},
        {"data\\sounds\\HIT.wav", "W"},
        {"data\\zero", ""},
        {name55, "55"},
        {name55 + "x", "<none>"},          // no name of 56 characters or more is found
        {"data/config.script", "<none>"},  // archive names use backslashes
        {"data\\config", "<none>"},
        {"", "<none>"},
    };
    for (const auto& [path, bytes] : lookups)
        EXPECT_EQ(Find(a, path), bytes) << path;
}

TEST(ResourceArchive, DamagedArchivesAreAbsentOrMissEntries) {
    // The archive reads from the image: each one must outlive its use.
    ResourceArchive a;
    const std::string pak = PackArchive({{"a", "1"}}), bad = "K" + pak.substr(1);
    EXPECT_FALSE(OpenImage(&a, bad));
    EXPECT_FALSE(a.IsOpen());
    EXPECT_FALSE(OpenImage(&a, pak, pak.size() - 1)) << "directory past the end";
    EXPECT_FALSE(OpenImage(&a, pak, 11));
    // A directory size that is not a whole number of entries: the rest is ignored.
    const std::string extra = PackArchive({{"a", "1"}, {"b", "2"}}, 2);
    ASSERT_TRUE(OpenImage(&a, extra));
    EXPECT_EQ(a.EntryCount(), 2);

    // An entry whose bytes lie outside the file is not found.
    std::string outside = PackArchive({{"a", "1"}, {"b", "2"}});
    outside.replace(outside.size() - 4, 4, LittleEndian32(0x7FFFFFFF));
    ASSERT_TRUE(OpenImage(&a, outside));
    EXPECT_EQ(Find(a, "a"), "1");
    EXPECT_EQ(Find(a, "b"), "<none>");
    // A name that fills its 56 bytes is cut, not read past.
    const std::string full = PackArchive({{std::string(56, 'q'), "1"}});
    ASSERT_TRUE(OpenImage(&a, full));
    EXPECT_EQ(Find(a, std::string(55, 'q')), "1");
}

TEST(ResourceArchive, InstalledArchiveFeedsTheScriptLoader) {
    ScratchDir dir("archive-loader");
    const std::string pak = PackArchive({{"data\\config.script", "volume = 0.5;"}});
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
