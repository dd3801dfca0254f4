#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Builds script text the way elements and menu controls write themselves
// back: one key per line with an indent, reals "%.4f" (times "%.3f", menu
// geometry "%f"), words in double quotes, CR LF line ends, element blocks
// closed by "};;" and menu blocks by "};".
class ScriptWriter {
public:
    // `indent` is written before every key line (one blank for element keys;
    // nested levels and menus pass their own).
    explicit ScriptWriter(std::string* out, std::string_view indent = " ")
        : out_(out), indent_(indent) {}

    // "Name {" (or "Name{" without the blank) and a line end.
    void Open(std::string_view name, bool blankBeforeBrace = true);
    // "};;" on its own line, preceded by `closeIndent`.
    void Close(std::string_view closeIndent = "");
    // "};" on its own line, for menu blocks.
    void CloseMenu(std::string_view closeIndent = "");

    void Real(std::string_view key, float value);    // %.4f
    void Time(std::string_view key, float value);    // %.3f
    void Float6(std::string_view key, float value);  // %f
    void Int(std::string_view key, std::int32_t value);
    void Word(std::string_view key, std::string_view value);
    // A raw line: indent, text, line end.
    void Line(std::string_view text);
    // The body of a block with no keys: one blank and ";;".
    void EmptyStatement();

    void SetIndent(std::string_view indent) { indent_ = indent; }

private:
    void Key(std::string_view key, std::string_view value);

    std::string* out_;
    std::string indent_;
};

// Appends printf-style text to a string of any length.
void AppendFormat(std::string* out, const char* format, ...) __attribute__((format(printf, 2, 3)));

inline constexpr const char* kLineEnd = "\r\n";
