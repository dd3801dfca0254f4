// The generated data as the game reads it: through the packed archive the
// build made, from a folder with no loose copies to fall back on.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "archive/resource_archive.h"
#include "script/file_access.h"

class PackedData : public ::testing::Test {
protected:
    void SetUp() override {
        oldDir_ = std::filesystem::current_path();
        std::filesystem::create_directories("packed_only");
        std::filesystem::current_path("packed_only");
        ASSERT_TRUE(archive_.Open(ZARNIK_BINARY_DIR "/data.pak"));
        SetResourceProvider(&archive_);
    }
    void TearDown() override {
        SetResourceProvider(nullptr);
        std::filesystem::current_path(oldDir_);
    }
    bool InArchive(const std::string& path) const {
        const std::uint8_t* data = nullptr;
        std::uint32_t size = 0;
        return archive_.Find(path.c_str(), &data, &size) && size > 0;
    }

    std::filesystem::path oldDir_;
    ResourceArchive archive_;
};
