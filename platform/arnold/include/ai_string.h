#pragma once
// Interned renderer strings (stand-in). Two AtStrings with the same text share
// one pointer, so comparison is a pointer comparison.

#include <cstring>

#include "ai_api.h"

AI_API const char* AiCreateAtStringData_private(const char* text);

class AtString {
public:
    AtString() = default;
    explicit AtString(const char* text) : data_(text ? AiCreateAtStringData_private(text) : nullptr) {}

    const char* c_str() const { return data_; }
    bool empty() const { return data_ == nullptr || data_[0] == '\0'; }
    size_t length() const { return data_ ? std::strlen(data_) : 0; }

    bool operator==(const AtString& other) const { return data_ == other.data_; }
    bool operator!=(const AtString& other) const { return data_ != other.data_; }

private:
    const char* data_ = nullptr;
};
