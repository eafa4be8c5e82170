#ifndef MAYA_STANDIN_MFNPLUGIN_H
#define MAYA_STANDIN_MFNPLUGIN_H
// Plug-in function set. Like the SDK's plug-in header, this header includes
// MApiVersion.h, which defines the library's exported API version text and
// plug-in signature block, unless MNoVersionString is defined.

#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

#ifndef MNoVersionString
#include <maya/MApiVersion.h>
#endif

OPENMAYA_NAMESPACE_OPEN

class OPENMAYA_EXPORT MFnPlugin {
public:
    MFnPlugin(MObject& object, const char* vendor = "Unknown", const char* version = "Unknown",
              const char* requiredApiVersion = "Any", MStatus* ReturnStatus = nullptr);
    ~MFnPlugin();
    MString vendor(MStatus* ReturnStatus = nullptr) const;
    MString version(MStatus* ReturnStatus = nullptr) const;
    MString apiVersion(MStatus* ReturnStatus = nullptr) const;

private:
    MString fVendor;
    MString fVersion;
};

OPENMAYA_NAMESPACE_CLOSE

#endif
