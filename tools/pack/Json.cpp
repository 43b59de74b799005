// The JSON writer.
#include "tools/pack/Json.h"

#include <cstdio>

namespace quindle::pack {

void TJsonWriter::NewLine() {
    out_ += '\n';
    out_.append(2 * hasItems_.size(), ' ');
}

void TJsonWriter::BeforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (hasItems_.empty()) return;
    if (hasItems_.back()) out_ += ',';
    hasItems_.back() = true;
    NewLine();
}

TJsonWriter& TJsonWriter::Open(char bracket) {
    BeforeValue();
    out_ += bracket;
    hasItems_.push_back(false);
    return *this;
}

TJsonWriter& TJsonWriter::Close(char bracket) {
    const bool hadItems = hasItems_.back();
    hasItems_.pop_back();
    if (hadItems) NewLine();
    out_ += bracket;
    return *this;
}

TJsonWriter& TJsonWriter::Key(const std::string& name) {
    String(name);
    out_ += ": ";
    afterKey_ = true;
    return *this;
}

TJsonWriter& TJsonWriter::String(const std::string& utf8) {
    BeforeValue();
    out_ += '"';
    for (const char c : utf8) {
        if (c == '"' || c == '\\') {
            out_ += '\\';
            out_ += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned char>(c));
            out_ += escape;
        } else {
            out_ += c;
        }
    }
    out_ += '"';
    return *this;
}

TJsonWriter& TJsonWriter::Number(int64_t value) {
    BeforeValue();
    out_ += std::to_string(value);
    return *this;
}

TJsonWriter& TJsonWriter::Bool(bool value) {
    BeforeValue();
    out_ += value ? "true" : "false";
    return *this;
}

TJsonWriter& TJsonWriter::Null() {
    BeforeValue();
    out_ += "null";
    return *this;
}

}  // namespace quindle::pack
