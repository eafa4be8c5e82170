#ifndef MAYA_STANDIN_MOBJECT_H
#define MAYA_STANDIN_MOBJECT_H
// Handle to a node of the scene. A handle made before maya_standin.reset() is null.

#include <maya/MFn.h>
#include <maya/MTypes.h>

OPENMAYA_NAMESPACE_OPEN

class OPENMAYA_EXPORT MObject {
public:
    MObject();
    MObject(const MObject& other);
    MObject& operator=(const MObject& other);
    ~MObject();

    bool isNull() const;
    MFn::Type apiType() const;
    bool hasFn(MFn::Type type) const;
    const char* apiTypeStr() const;
    bool operator==(const MObject& other) const;
    bool operator!=(const MObject& other) const;

    static MObject kNullObj;

    // The runtime's own: the node this handle stands for.
    MObject(unsigned int node, unsigned int generation);
    unsigned int standinNode() const { return fNode; }
    unsigned int standinGeneration() const { return fGeneration; }

private:
    unsigned int fNode;
    unsigned int fGeneration;
};

OPENMAYA_NAMESPACE_CLOSE

#endif
