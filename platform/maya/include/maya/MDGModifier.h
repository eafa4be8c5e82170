#ifndef MAYA_STANDIN_MDGMODIFIER_H
#define MAYA_STANDIN_MDGMODIFIER_H
// Queue of graph edits. The runtime applies the edits it is handed at once, so
// doIt and undoIt have nothing left to do.

#include <maya/MStatus.h>

OPENMAYA_NAMESPACE_OPEN

class OPENMAYA_EXPORT MDGModifier {
public:
    MDGModifier();
    virtual ~MDGModifier();
    virtual MStatus doIt();
    virtual MStatus undoIt();

private:
    MDGModifier(const MDGModifier&) = delete;
    MDGModifier& operator=(const MDGModifier&) = delete;
};

OPENMAYA_NAMESPACE_CLOSE

#endif
