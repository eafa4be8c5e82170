#ifndef MAYA_STANDIN_MFNBASE_H
#define MAYA_STANDIN_MFNBASE_H
// Base of the function sets: the DAG path (or object) a set is attached to.

#include <maya/MDagPath.h>
#include <maya/MFn.h>
#include <maya/MObject.h>

OPENMAYA_NAMESPACE_OPEN

class OPENMAYA_EXPORT MFnBase {
public:
    MFnBase();
    virtual ~MFnBase();
    virtual MFn::Type type() const;
    bool hasObj(MFn::Type type) const;
    MObject object(MStatus* ReturnStatus = nullptr) const;

protected:
    // Attaches to the node of the path or object; a camera or mesh set made on
    // a transform attaches to the one shape of that kind below it. The path
    // itself is kept as given.
    MStatus attach(const MDagPath& path, MFn::Type wanted);
    MStatus attach(const MObject& node, MFn::Type wanted);
    bool attached() const { return !fShape.isNull(); }
    const MObject& shape() const { return fShape; }
    const MDagPath& path() const { return fPath; }

private:
    MFnBase(const MFnBase&) = delete;
    MFnBase& operator=(const MFnBase&) = delete;

    MDagPath fPath;
    MObject fShape;
};

OPENMAYA_NAMESPACE_CLOSE

#endif
