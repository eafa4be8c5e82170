#ifndef MAYA_STANDIN_MFNPLUGIN_H
#define MAYA_STANDIN_MFNPLUGIN_H
// Plug-in function set. Like the SDK's plug-in header, this header also
// defines, in the one translation unit that includes it, the library's
// exported API version text and plug-in signature block.

#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

#ifndef MAYA_STANDIN_PLUGIN_EXPORT
#define MAYA_STANDIN_PLUGIN_EXPORT __attribute__((visibility("default")))
#endif

// The runtime library itself builds with MAYA_STANDIN_NO_PLUGIN_DATA defined,
// so that only the plug-in or module that includes this header exports these.
#ifndef MAYA_STANDIN_NO_PLUGIN_DATA
extern "C" {
MAYA_STANDIN_PLUGIN_EXPORT extern const char MApiVersion[];
MAYA_STANDIN_PLUGIN_EXPORT extern const unsigned char ADSK_PLUGIN_SIGNATURE[32];
}

extern "C" MAYA_STANDIN_PLUGIN_EXPORT const char MApiVersion[] = "20220400";

// The stand-in's own signature: a tag, the API version and a format number.
extern "C" MAYA_STANDIN_PLUGIN_EXPORT const unsigned char ADSK_PLUGIN_SIGNATURE[32] = {
    'K', 'O', 'R', 'V', 'A', 'N', 'E', '-', 'M', 'A', 'Y', 'A', '-', 'S', 'T', 'A',
    'N', 'D', 'I', 'N', 0,   '2', '0', '2', '2', '0', '4', '0', '0', 0,   1,   0};
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
