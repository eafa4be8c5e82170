#ifndef MAYA_STANDIN_MSTATUS_H
#define MAYA_STANDIN_MSTATUS_H
// Result of an API call: a code and an error text.

#include <maya/MString.h>

OPENMAYA_NAMESPACE_OPEN

class OPENMAYA_EXPORT MStatus {
public:
    enum MStatusCode {
        kSuccess = 0,
        kFailure,
        kInsufficientMemory,
        kInvalidParameter,
        kLicenseFailure,
        kUnknownParameter,
        kNotImplemented,
        kNotFound,
        kEndOfFile
    };

    MStatus();
    MStatus(MStatusCode code);
    // The runtime's own: a failure with the text errorString() gives back.
    MStatus(MStatusCode code, const MString& errorText);
    MStatus(const MStatus& other);
    MStatus& operator=(const MStatus& other);

    bool operator==(const MStatus& other) const;
    bool operator==(MStatusCode code) const;
    bool operator!=(const MStatus& other) const;
    bool operator!=(MStatusCode code) const;
    // True on success.
    operator bool() const;

    bool error() const;
    MStatusCode statusCode() const;
    // The error text given with the status, even an empty one; for a status made
    // from a code alone, the code's text.
    MString errorString() const;
    void clear();
    void perror(const char* prefix) const;

private:
    MStatusCode fCode;
    MString fText;
    bool fHasText = false;
};

// The short name the API's own code and examples use (MS::kSuccess).
typedef MStatus MS;

OPENMAYA_NAMESPACE_CLOSE

#endif
