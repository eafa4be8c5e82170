#pragma once
// Interned renderer strings (stand-in). Two AtStrings with the same text share one
// pointer, so comparison is a pointer comparison.

#include <cstddef>

#include "ai_api.h"

// What AtString is made of; code uses AtString, not these.
AI_API const char* AiCreateAtStringData_private(const char* str);
AI_API size_t AiAtStringLength(const char* str);
AI_API size_t AiAtStringHash(const char* str);

class AtString {
public:
    AtString() : data_(nullptr) {}
    // Interning looks the text up: make the strings of a hot path once, ahead of it.
    explicit AtString(const char* str) : data_(AiCreateAtStringData_private(str)) {}

    bool operator==(const AtString& rhs) const { return data_ == rhs.data_; }
    bool operator!=(const AtString& rhs) const { return data_ != rhs.data_; }

    size_t length() const { return AiAtStringLength(data_); }
    // True for the null string and for "".
    bool empty() const { return length() == 0; }

    operator const char*() const { return c_str(); }
    const char* c_str() const { return data_; }

    void clear() { data_ = nullptr; }
    size_t hash() const { return AiAtStringHash(data_); }

private:
    const char* data_;
};
