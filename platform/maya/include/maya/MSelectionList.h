#ifndef MAYA_STANDIN_MSELECTIONLIST_H
#define MAYA_STANDIN_MSELECTIONLIST_H
// Ordered list of selected DAG paths.

#include <maya/MDagPath.h>
#include <maya/MObject.h>
#include <maya/MString.h>
#include <vector>

OPENMAYA_NAMESPACE_OPEN

class OPENMAYA_EXPORT MSelectionList {
public:
    enum MergeStrategy { kMergeNormal = 0, kXORWithList, kRemoveFromList };

    MSelectionList();
    MSelectionList(const MSelectionList& other);
    MSelectionList& operator=(const MSelectionList& other);
    ~MSelectionList();

    MStatus clear();
    bool isEmpty(MStatus* ReturnStatus = nullptr) const;
    unsigned int length(MStatus* ReturnStatus = nullptr) const;

    // Adds the object of that exact name: a node name or a "|a|b" long path.
    // kInvalidParameter ("Object does not exist") when nothing matches.
    MStatus add(const MString& matchString, bool searchChildNamespacesToo = false);
    MStatus add(const MDagPath& object, const MObject& mComponent = MObject::kNullObj,
                bool mergeWithExisting = false);
    MStatus add(const MObject& object, bool mergeWithExisting = false);
    MStatus add(const MSelectionList& other, MergeStrategy strategy = kMergeNormal);
    MStatus remove(unsigned int index);

    MStatus getDagPath(unsigned int index, MDagPath& dagPath,
                       MObject& component = MObject::kNullObj) const;
    MStatus getDependNode(unsigned int index, MObject& depNode) const;
    bool hasItem(const MDagPath& item, const MObject& component = MObject::kNullObj,
                 MStatus* ReturnStatus = nullptr) const;

private:
    std::vector<MObject> fItems;
};

OPENMAYA_NAMESPACE_CLOSE

#endif
