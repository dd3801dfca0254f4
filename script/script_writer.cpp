#include "script/script_writer.h"

#include <cstdarg>
#include <cstdio>

void AppendFormat(std::string* out, const char* format, ...) {
    char small[256];
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    int n = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (n < 0) {
        va_end(again);
        return;
    }
    if (std::size_t(n) < sizeof small) {
        out->append(small, std::size_t(n));
    } else {
        std::size_t at = out->size();
        out->resize(at + std::size_t(n) + 1);
        std::vsnprintf(out->data() + at, std::size_t(n) + 1, format, again);
        out->resize(at + std::size_t(n));
    }
    va_end(again);
}

void ScriptWriter::Open(std::string_view name, bool blankBeforeBrace) {
    out_->append(name);
    out_->append(blankBeforeBrace ? " {" : "{");
    out_->append(kLineEnd);
}

void ScriptWriter::Close(std::string_view closeIndent) {
    out_->append(closeIndent);
    out_->append("};;");
    out_->append(kLineEnd);
}

void ScriptWriter::CloseMenu(std::string_view closeIndent) {
    out_->append(closeIndent);
    out_->append("};");
    out_->append(kLineEnd);
}

void ScriptWriter::Key(std::string_view key, std::string_view value) {
    out_->append(indent_);
    out_->append(key);
    out_->append(" = ");
    out_->append(value);
    out_->append(";");
    out_->append(kLineEnd);
}

void ScriptWriter::Real(std::string_view key, float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.4f", double(value));
    Key(key, text);
}

void ScriptWriter::Time(std::string_view key, float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", double(value));
    Key(key, text);
}

void ScriptWriter::Float6(std::string_view key, float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%f", double(value));
    Key(key, text);
}

void ScriptWriter::Int(std::string_view key, std::int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    Key(key, text);
}

void ScriptWriter::Word(std::string_view key, std::string_view value) {
    std::string quoted;
    quoted.reserve(value.size() + 2);
    quoted += '"';
    quoted.append(value);
    quoted += '"';
    Key(key, quoted);
}

void ScriptWriter::Line(std::string_view text) {
    out_->append(indent_);
    out_->append(text);
    out_->append(kLineEnd);
}

void ScriptWriter::EmptyStatement() {
    Line(";;");
}
