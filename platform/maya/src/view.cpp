// M3dView, the OpenMayaUI library: the one active view, which exists while
// the scene has an active camera.
#include "runtime.h"

#include <maya/M3dView.h>
#include <maya/MDagPath.h>

using namespace maya_runtime;

// --- M3dView ---------------------------------------------------------------

M3dView::M3dView() : fValid(false) {}
M3dView::~M3dView() = default;

M3dView M3dView::active3dView(MStatus* ReturnStatus) {
    M3dView view;
    MStatus status;
    if (injectedFailure("M3dView::active3dView", &status)) {
        report(ReturnStatus, status);
        return view;
    }
    view.fValid = state().scene.activeCameraShape >= 0;
    report(ReturnStatus, view.fValid ? MStatus() : MStatus(MStatus::kFailure, "No active 3D view"));
    return view;
}

unsigned int M3dView::numberOf3dViews() { return state().scene.activeCameraShape >= 0 ? 1 : 0; }

MStatus M3dView::getCamera(MDagPath& camera) {
    MStatus status;
    if (injectedFailure("M3dView::getCamera", &status)) return status;
    const int shape = state().scene.activeCameraShape;
    if (!fValid || shape < 0) return MStatus(MStatus::kFailure, "No active 3D view");
    return MDagPath::getAPathTo(handle(static_cast<unsigned>(shape)), camera);
}

MStatus M3dView::setCamera(MDagPath& camera) {
    if (!fValid) return MStatus(MStatus::kFailure, "No active 3D view");
    const int shape = resolve(camera.node()) ? shapeOf(camera.node().standinNode(), NodeKind::Camera) : -1;
    if (shape < 0) return MStatus(MStatus::kInvalidParameter, "Object is incompatible with this method");
    state().scene.activeCameraShape = shape;
    return MStatus();
}

int M3dView::portWidth(MStatus* ReturnStatus) {
    report(ReturnStatus, fValid ? MStatus() : MStatus(MStatus::kFailure, "No active 3D view"));
    return fValid ? 960 : 0;
}
int M3dView::portHeight(MStatus* ReturnStatus) {
    report(ReturnStatus, fValid ? MStatus() : MStatus(MStatus::kFailure, "No active 3D view"));
    return fValid ? 640 : 0;
}
MStatus M3dView::refresh(bool, bool) {
    return fValid ? MStatus() : MStatus(MStatus::kFailure, "No active 3D view");
}
