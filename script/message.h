#pragma once

// The one channel through which both programs tell the user about errors and
// warnings: the text is shown, then appended with CR LF to "Zarnik.log" in
// the working directory.

// Formats into 4096 bytes (longer texts are cut), shows and logs the text.
void ReportMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));

// How a finished text is shown. The default writes it to standard error; the
// game installs a message box. ZARNIK_MESSAGES=stderr keeps standard error
// whatever is installed.
using MessageDisplayFn = void (*)(const char* text);
void SetMessageDisplay(MessageDisplayFn display);
MessageDisplayFn GetMessageDisplay();

// Writes the text and a line end to standard error (the default display).
void ShowMessageOnStderr(const char* text);

// While one lives, the texts its own thread reports are kept in it as well
// (they are still logged, and shown unless `quiet`): a caller that tries
// something can tell what went wrong and show it where it likes, without a
// modal box. At most kMaxTexts are kept.
class MessageCapture {
public:
    static constexpr int kMaxTexts = 16;
    explicit MessageCapture(bool quiet = false);
    ~MessageCapture();
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    int Count() const { return count_; }
    const char* Text(int i) const { return texts_[i]; }
    void Add(const char* text);
    bool Quiet() const { return quiet_; }

private:
    MessageCapture* outer_;
    bool quiet_;
    int count_ = 0;
    char texts_[kMaxTexts][256];
};

// The log file name, relative to the working directory.
inline constexpr const char* kLogFileName = "Zarnik.log";
