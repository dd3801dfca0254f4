#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "script/message.h"
#include "tests/test_files.h"

namespace {

std::vector<std::string> g_shown;
void Capture(const char* text) {
    g_shown.emplace_back(text);
}

// Installs the capturing display with ZARNIK_MESSAGES unset, restoring both.
class MessageTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* mode = std::getenv("ZARNIK_MESSAGES");
        saved_ = mode ? mode : "";
        unsetenv("ZARNIK_MESSAGES");
        g_shown.clear();
        SetMessageDisplay(&Capture);
    }
    void TearDown() override {
        SetMessageDisplay(nullptr);
        if (!saved_.empty())
            setenv("ZARNIK_MESSAGES", saved_.c_str(), 1);
    }
    std::string saved_;
};

}  // namespace

TEST_F(MessageTest, EachReportIsShownAndAppendedWithCrLf) {
    std::string log = LogAddedBy([] {
        ReportMessage("Can't load '%s' !", "data\\a.script");
        ReportMessage("%d and %.1f", 3, 0.5);
    });
    EXPECT_EQ(log, "Can't load 'data\\a.script' !\r\n3 and 0.5\r\n");
    EXPECT_EQ(g_shown, (std::vector<std::string>{"Can't load 'data\\a.script' !", "3 and 0.5"}));

    // Texts are cut to 4095 characters, never overflowing the buffer.
    std::string huge(10000, 'x');
    log = LogAddedBy([&] { ReportMessage("%s", huge.c_str()); });
    EXPECT_EQ(log, std::string(4095, 'x') + "\r\n");
    EXPECT_EQ(g_shown.back().size(), 4095u);
}

TEST_F(MessageTest, UnwritableLogStillShowsTheMessage) {
    ScratchDir dir("unwritable-log");
    std::string here = std::string(getenv("PWD") ? getenv("PWD") : ".");
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    // A folder where the log file should be: it can be neither opened nor created.
    WriteFile("Zarnik.log/x", "");
    ReportMessage("shown anyway");
    ASSERT_EQ(chdir(".."), 0);
    EXPECT_EQ(g_shown, std::vector<std::string>{"shown anyway"});
}
