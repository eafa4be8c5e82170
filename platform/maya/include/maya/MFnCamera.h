#ifndef MAYA_STANDIN_MFNCAMERA_H
#define MAYA_STANDIN_MFNCAMERA_H
// Camera function set. The camera looks down its local -Z axis with +Y up; its
// film back is 36 mm wide and 36 mm / aspect ratio high, fitted horizontally.

#include <maya/MFloatMatrix.h>
#include <maya/MFnDagNode.h>
#include <maya/MPoint.h>
#include <maya/MVector.h>

OPENMAYA_NAMESPACE_OPEN

class OPENMAYA_EXPORT MFnCamera : public MFnDagNode {
public:
    MFnCamera();
    // kInvalidParameter in ReturnStatus when the path holds no camera.
    MFnCamera(const MDagPath& object, MStatus* ReturnStatus = nullptr);
    MFnCamera(const MObject& object, MStatus* ReturnStatus = nullptr);
    ~MFnCamera() override;
    MFn::Type type() const override;
    MStatus setObject(const MDagPath& path);

    // OpenGL's projection with [2][2] and [3][2] negated, for row vectors:
    // a point p in camera space maps to p x P. kInvalidParameter on a set that
    // holds no camera.
    MFloatMatrix projectionMatrix(MStatus* ReturnStatus = nullptr) const;

    MPoint eyePoint(MSpace::Space space = MSpace::kObject, MStatus* ReturnStatus = nullptr) const;
    MVector viewDirection(MSpace::Space space = MSpace::kObject, MStatus* ReturnStatus = nullptr) const;
    MVector upDirection(MSpace::Space space = MSpace::kObject, MStatus* ReturnStatus = nullptr) const;
    double focalLength(MStatus* ReturnStatus = nullptr) const;
    double nearClippingPlane(MStatus* ReturnStatus = nullptr) const;
    double farClippingPlane(MStatus* ReturnStatus = nullptr) const;
    double aspectRatio(MStatus* ReturnStatus = nullptr) const;
    double horizontalFilmAperture(MStatus* ReturnStatus = nullptr) const;
    double verticalFilmAperture(MStatus* ReturnStatus = nullptr) const;
    double horizontalFieldOfView(MStatus* ReturnStatus = nullptr) const;
    double verticalFieldOfView(MStatus* ReturnStatus = nullptr) const;
    bool isOrtho(MStatus* ReturnStatus = nullptr) const;
};

OPENMAYA_NAMESPACE_CLOSE

#endif
