// MString and MStatus: the Foundation library, which needs nothing of the rest.
#include <maya/MStatus.h>
#include <maya/MString.h>

#include <cstdio>

// --- MString ---------------------------------------------------------------

MString::MString() = default;
MString::MString(const char* text) : fText(text ? text : "") {}
MString::MString(const char* text, int length) {
    if (text && length > 0) fText.assign(text, static_cast<size_t>(length));
}
MString::MString(const MString& other) = default;
MString::~MString() = default;
MString& MString::operator=(const MString& other) = default;
MString& MString::operator=(const char* text) { return set(text); }
MString& MString::operator+=(const MString& other) { fText += other.fText; return *this; }
MString& MString::operator+=(const char* text) {
    if (text) fText += text;
    return *this;
}
MString MString::operator+(const MString& other) const { MString r(*this); r += other; return r; }
MString MString::operator+(const char* text) const { MString r(*this); r += text; return r; }
bool MString::operator==(const MString& other) const { return fText == other.fText; }
bool MString::operator==(const char* text) const { return fText == (text ? text : ""); }
bool MString::operator!=(const MString& other) const { return !(*this == other); }
bool MString::operator!=(const char* text) const { return !(*this == text); }
const char* MString::asChar() const { return fText.c_str(); }
const char* MString::asChar(int& length) const {
    length = static_cast<int>(fText.size());
    return fText.c_str();
}
unsigned int MString::length() const { return static_cast<unsigned int>(fText.size()); }
unsigned int MString::numChars() const {
    unsigned int n = 0;  // UTF-8 code points: count the bytes that start one
    for (unsigned char c : fText) n += (c & 0xC0) != 0x80;
    return n;
}
MString& MString::set(const char* text) {
    fText = text ? text : "";
    return *this;
}
void MString::clear() { fText.clear(); }

MString Autodesk::Maya::OpenMaya20220000::operator+(const char* left, const MString& right) {
    return MString(left) + right;
}

// --- MStatus ---------------------------------------------------------------

MStatus::MStatus() : fCode(kSuccess) {}
MStatus::MStatus(MStatusCode code) : fCode(code) {}
MStatus::MStatus(MStatusCode code, const MString& errorText)
    : fCode(code), fText(errorText), fHasText(true) {}
MStatus::MStatus(const MStatus& other) = default;
MStatus& MStatus::operator=(const MStatus& other) = default;
bool MStatus::operator==(const MStatus& other) const { return fCode == other.fCode; }
bool MStatus::operator==(MStatusCode code) const { return fCode == code; }
bool MStatus::operator!=(const MStatus& other) const { return fCode != other.fCode; }
bool MStatus::operator!=(MStatusCode code) const { return fCode != code; }
MStatus::operator bool() const { return fCode == kSuccess; }
bool MStatus::error() const { return fCode != kSuccess; }
MStatus::MStatusCode MStatus::statusCode() const { return fCode; }
void MStatus::clear() {
    fCode = kSuccess;
    fText.clear();
    fHasText = false;
}

MString MStatus::errorString() const {
    if (fHasText) return fText;
    switch (fCode) {
    case kSuccess: return "Success";
    case kFailure: return "Unexpected Internal Failure";
    case kInsufficientMemory: return "Insufficient Memory";
    case kInvalidParameter: return "Invalid Parameter";
    case kLicenseFailure: return "License Failure";
    case kUnknownParameter: return "Unknown Parameter";
    case kNotImplemented: return "Not Implemented";
    case kNotFound: return "Not Found";
    case kEndOfFile: return "End of File";
    }
    return "Unknown Status";
}

void MStatus::perror(const char* prefix) const {
    std::fprintf(stderr, "%s: %s\n", prefix ? prefix : "", errorString().asChar());
}
