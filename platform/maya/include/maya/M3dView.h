#ifndef MAYA_STANDIN_M3DVIEW_H
#define MAYA_STANDIN_M3DVIEW_H
// A 3D viewport. The runtime has at most one: the active view, which exists
// while maya_standin has an active camera.

#include <maya/MDagPath.h>
#include <maya/MStatus.h>

OPENMAYA_NAMESPACE_OPEN

class OPENMAYA_EXPORT M3dView {
public:
    M3dView();
    ~M3dView();

    // The active view; kFailure in ReturnStatus when there is none.
    static M3dView active3dView(MStatus* ReturnStatus = nullptr);
    static unsigned int numberOf3dViews();

    // The view camera's shape path; kFailure when there is no active view.
    MStatus getCamera(MDagPath& camera);
    MStatus setCamera(MDagPath& camera);
    int portWidth(MStatus* ReturnStatus = nullptr);
    int portHeight(MStatus* ReturnStatus = nullptr);
    MStatus refresh(bool all = false, bool force = false);

private:
    bool fValid;
};

OPENMAYA_NAMESPACE_CLOSE

#endif
