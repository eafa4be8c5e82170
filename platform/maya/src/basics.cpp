// MString, MStatus, MGlobal's messages, failure injection and the state itself.
#include "runtime.h"

#define MNoVersionString

#include <maya/MDGModifier.h>
#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>
#include <maya/MStandinArray.h>
#include <maya/MString.h>

#include <cstdio>
#include <cstdlib>
#include <new>
#include <sys/mman.h>

namespace maya_runtime {

State& state() {
    static State instance;
    return instance;
}

bool injectedFailure(const char* operation, MStatus* status) {
    const auto& failures = state().failures;
    if (failures.empty()) return false;  // the usual case, kept cheap for hot paths
    auto it = failures.find(operation);
    if (it == failures.end()) return false;
    if (status) *status = MStatus(MStatus::kFailure, it->second.c_str());
    return true;
}

}  // namespace maya_runtime

using namespace maya_runtime;

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

// --- MGlobal ---------------------------------------------------------------

MGlobal::MMayaState MGlobal::mayaState(MStatus* ReturnStatus) {
    report(ReturnStatus, MStatus());
    return kInteractive;
}
MString MGlobal::mayaVersion() { return "2022"; }
int MGlobal::apiVersion() { return MAYA_API_VERSION; }
void MGlobal::displayInfo(const MString& theMessage) { state().infos.emplace_back(theMessage.asChar()); }
void MGlobal::displayWarning(const MString& theWarning) {
    state().warnings.emplace_back(theWarning.asChar());
}
void MGlobal::displayError(const MString& theError) { state().errors.emplace_back(theError.asChar()); }

// --- MDGModifier, MFnPlugin ------------------------------------------------

MDGModifier::MDGModifier() = default;
MDGModifier::~MDGModifier() = default;
MStatus MDGModifier::doIt() { return MStatus(); }
MStatus MDGModifier::undoIt() { return MStatus(); }

MFnPlugin::MFnPlugin(MObject&, const char* vendor, const char* version, const char*,
                     MStatus* ReturnStatus)
    : fVendor(vendor), fVersion(version) {
    report(ReturnStatus, MStatus());
}
MFnPlugin::~MFnPlugin() = default;
MString MFnPlugin::vendor(MStatus* ReturnStatus) const { report(ReturnStatus, MStatus()); return fVendor; }
MString MFnPlugin::version(MStatus* ReturnStatus) const { report(ReturnStatus, MStatus()); return fVersion; }
MString MFnPlugin::apiVersion(MStatus* ReturnStatus) const {
    report(ReturnStatus, MStatus());
    return "20220400";
}

// --- Block allocation ------------------------------------------------------

namespace {
constexpr std::size_t kHugePage = std::size_t(2) << 20;
}

void* Autodesk::Maya::OpenMaya20220000::standin::allocateBlock(std::size_t bytes) {
    if (bytes < kHugePage) return ::operator new(bytes);
    const std::size_t rounded = (bytes + kHugePage - 1) & ~(kHugePage - 1);
    void* block = std::aligned_alloc(kHugePage, rounded);
    if (!block) throw std::bad_alloc();
    madvise(block, rounded, MADV_HUGEPAGE);  // advice only: its failure changes nothing
    return block;
}

void Autodesk::Maya::OpenMaya20220000::standin::freeBlock(void* block, std::size_t bytes) noexcept {
    if (bytes < kHugePage) ::operator delete(block);
    else std::free(block);
}
