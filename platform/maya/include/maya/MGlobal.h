#ifndef MAYA_STANDIN_MGLOBAL_H
#define MAYA_STANDIN_MGLOBAL_H
// Application-wide services: messages and the active selection.

#include <maya/MSelectionList.h>
#include <maya/MString.h>

OPENMAYA_NAMESPACE_OPEN

class OPENMAYA_EXPORT MGlobal {
public:
    enum MMayaState { kInteractive, kBatch, kLibraryApp, kBaseUIMode };
    enum ListAdjustment { kReplaceList, kXORWithList, kAddToList, kRemoveFromList,
                          kAddToHeadOfList };

    static MMayaState mayaState(MStatus* ReturnStatus = nullptr);
    static MString mayaVersion();
    static int apiVersion();

    // Shown in the script editor; the runtime records each text in order.
    static void displayInfo(const MString& theMessage);
    static void displayWarning(const MString& theWarning);
    static void displayError(const MString& theError);

    static MStatus getActiveSelectionList(MSelectionList& dest,
                                          bool orderedSelectionIfAvailable = false);
    static MStatus setActiveSelectionList(const MSelectionList& src,
                                          ListAdjustment listAdjustment = kReplaceList);
    static MStatus getSelectionListByName(const MString& name, MSelectionList& list);
    static MStatus clearSelectionList();
};

OPENMAYA_NAMESPACE_CLOSE

#endif
