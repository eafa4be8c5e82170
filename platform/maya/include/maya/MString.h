#ifndef MAYA_STANDIN_MSTRING_H
#define MAYA_STANDIN_MSTRING_H
// Narrow text. A null const char* gives the empty string.

#include <maya/MTypes.h>
#include <string>

OPENMAYA_NAMESPACE_OPEN

class OPENMAYA_EXPORT MString {
public:
    MString();
    MString(const char* text);
    MString(const char* text, int length);
    MString(const MString& other);
    ~MString();

    MString& operator=(const MString& other);
    MString& operator=(const char* text);
    MString& operator+=(const MString& other);
    MString& operator+=(const char* text);
    MString operator+(const MString& other) const;
    MString operator+(const char* text) const;
    bool operator==(const MString& other) const;
    bool operator==(const char* text) const;
    bool operator!=(const MString& other) const;
    bool operator!=(const char* text) const;

    const char* asChar() const;
    const char* asChar(int& length) const;
    unsigned int length() const;
    unsigned int numChars() const;
    MString& set(const char* text);
    void clear();

private:
    std::string fText;
};

OPENMAYA_EXPORT MString operator+(const char* left, const MString& right);

OPENMAYA_NAMESPACE_CLOSE

#endif
