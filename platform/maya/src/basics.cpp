// The state itself, failure injection, MGlobal's messages, MDGModifier and
// MFnPlugin, and the block allocation of the array classes.
#include "runtime.h"

#define MNoVersionString

#include <maya/MDGModifier.h>
#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>
#include <maya/MStandinArray.h>
#include <maya/MString.h>

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
