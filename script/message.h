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

// The log file name, relative to the working directory.
inline constexpr const char* kLogFileName = "Zarnik.log";
