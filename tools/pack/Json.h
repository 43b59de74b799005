// A small JSON writer for the tool's --json output: objects, arrays, strings, numbers
// and Booleans, two-space indented. Strings must be UTF-8.
#pragma once

#include <cstdint>
#include <type_traits>
#include <string>
#include <vector>

namespace quindle::pack {

class TJsonWriter {
public:
    TJsonWriter& BeginObject() { return Open('{'); }
    TJsonWriter& EndObject() { return Close('}'); }
    TJsonWriter& BeginArray() { return Open('['); }
    TJsonWriter& EndArray() { return Close(']'); }
    // The name of the next member of the current object.
    TJsonWriter& Key(const std::string& name);
    TJsonWriter& String(const std::string& utf8);
    TJsonWriter& Number(int64_t value);
    TJsonWriter& Bool(bool value);
    TJsonWriter& Null();

    // A whole member at once.
    template <typename Value>
    TJsonWriter& Member(const std::string& name, const Value& value);

    // The document, with a final line end.
    std::string Text() const { return out_ + "\n"; }

private:
    TJsonWriter& Open(char bracket);
    TJsonWriter& Close(char bracket);
    void BeforeValue();
    void NewLine();

    std::string out_;
    std::vector<bool> hasItems_;  // per open bracket
    bool afterKey_ = false;
};

template <typename Value>
TJsonWriter& TJsonWriter::Member(const std::string& name, const Value& value) {
    Key(name);
    if constexpr (std::is_same_v<Value, bool>)
        return Bool(value);
    else if constexpr (std::is_arithmetic_v<Value>)
        return Number(int64_t(value));
    else
        return String(value);
}

}  // namespace quindle::pack
