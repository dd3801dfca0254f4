#include "script/message.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "script/file_access.h"

namespace {

std::atomic<MessageDisplayFn> g_display{&ShowMessageOnStderr};
thread_local MessageCapture* t_capture = nullptr;

bool ForcedToStderr() {
    const char* mode = std::getenv("ZARNIK_MESSAGES");
    return mode != nullptr && std::strcmp(mode, "stderr") == 0;
}

void AppendToLog(const char* text) {
    // One open, one write, one close per report: the log is complete up to
    // the last message even if the program dies right after it.
    // The user data folder, when the program's own folder can't be written.
    std::FILE* log = UserDataFolder().empty() ? std::fopen(kLogFileName, "ab")
                                              : OpenLooseFile(kLogFileName, "ab");
    if (log == nullptr)
        return;
    std::fwrite(text, 1, std::strlen(text), log);
    std::fwrite("\r\n", 1, 2, log);
    std::fclose(log);
}

}  // namespace

void ShowMessageOnStderr(const char* text) {
    std::fputs(text, stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

MessageCapture::MessageCapture(bool quiet) : outer_(t_capture), quiet_(quiet) {
    t_capture = this;
}

MessageCapture::~MessageCapture() {
    t_capture = outer_;
}

void MessageCapture::Add(const char* text) {
    if (count_ >= kMaxTexts)
        return;
    std::snprintf(texts_[count_++], sizeof texts_[0], "%s", text);
}

void SetMessageDisplay(MessageDisplayFn display) {
    g_display.store(display != nullptr ? display : &ShowMessageOnStderr);
}

MessageDisplayFn GetMessageDisplay() {
    return g_display.load();
}

void ReportMessage(const char* format, ...) {
    char text[4096];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (n < 0)
        text[0] = '\0';

    MessageDisplayFn display = ForcedToStderr() ? &ShowMessageOnStderr : g_display.load();
    if (t_capture != nullptr)
        t_capture->Add(text);
    if (t_capture == nullptr || !t_capture->Quiet())
        display(text);
    AppendToLog(text);
}
