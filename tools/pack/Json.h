// A small JSON writer for the tool's --json output: objects, arrays, strings, numbers
// and Booleans, two-space indented. Strings must be UTF-8.
#pragma once

#include <cstdint>
#include <type_traits>
#include <string>
#include <vector>

namespace quindle::pack {

class JsonWriter {
public:
    JsonWriter& BeginObject() { return Open('{'); }
    JsonWriter& EndObject() { return Close('}'); }
    JsonWriter& BeginArray() { return Open('['); }
    JsonWriter& EndArray() { return Close(']'); }
    // The name of the next member of the current object.
    JsonWriter& Key(const std::string& name);
    JsonWriter& String(const std::string& utf8);
    JsonWriter& Number(int64_t value);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();

    // A whole member at once.
    template <typename Value>
    JsonWriter& Member(const std::string& name, const Value& value);

    // The document, with a final line end.
    std::string Text() const { return out_ + "\n"; }

private:
    JsonWriter& Open(char bracket);
    JsonWriter& Close(char bracket);
    void BeforeValue();
    void NewLine();

    std::string out_;
    std::vector<bool> hasItems_;  // per open bracket
    bool afterKey_ = false;
};

template <typename Value>
JsonWriter& JsonWriter::Member(const std::string& name, const Value& value) {
    Key(name);
    if constexpr (std::is_same_v<Value, bool>)
        return Bool(value);
    else if constexpr (std::is_arithmetic_v<Value>)
        return Number(int64_t(value));
    else
        return String(value);
}

}  // namespace quindle::pack
