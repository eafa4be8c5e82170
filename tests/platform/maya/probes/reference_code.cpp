// Plug-in code written from the Maya 2022 API reference alone. It is only
// compiled: the stand-in headers have to accept it as the devkit's do.

#include <maya/M3dView.h>
#include <maya/MColor.h>
#include <maya/MColorArray.h>
#include <maya/MDagPath.h>
#include <maya/MFloatPoint.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFloatVector.h>
#include <maya/MFn.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnMesh.h>
#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MItMeshVertex.h>
#include <maya/MPoint.h>
#include <maya/MRenderView.h>
#include <maya/MSelectionList.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MUintArray.h>
#include <maya/MVector.h>

// MFnPlugin.h brings in MApiVersion.h, which defines both.
extern "C" char MApiVersion[];
extern char ADSK_PLUGIN_SIGNATURE[];

static_assert(MFn::kModel == 3 && MFn::kDependencyNode == 4 && MFn::kDagNode == 107 &&
                  MFn::kTransform == 110 && MFn::kCamera == 250 && MFn::kMesh == 296,
              "MFn::Type values");

// The Render View, with an AOV given field by field in its declared order.
MStatus showImage(RV_PIXEL* pixels, float* depth) {
    const RV_AOV aovs[] = {{1, MString("depth"), depth}};
    MStatus status = MRenderView::startRender(2, 2, true, false);
    if (status) status = MRenderView::updatePixels(0, 1, 0, 1, pixels, false, 1, aovs);
    if (status) status = MRenderView::updatePixels(0, 1, 0, 1, pixels);
    if (status) status = MRenderView::refresh(0, 1, 0, 1);
    MRenderView::endRender();
    return status;
}

// A vertex walk over a mesh object, and colour sets written through MFnMesh.
MStatus colourVertices(MObject& meshObject, const MDagPath& meshPath) {
    MStatus status;
    MItMeshVertex vertices(meshObject, &status);
    MColorArray colors;
    MIntArray vertexIds;
    for (vertices.reset(); !vertices.isDone(&status); vertices.next()) {
        MVector normal;
        vertices.getNormal(normal, MSpace::kWorld);
        MIntArray connected;
        vertices.getConnectedVertices(connected);
        const MPoint lifted = vertices.position(MSpace::kWorld, &status) + normal * 0.01;
        vertexIds.append(vertices.index(&status));
        colors.append(MColor(static_cast<float>(lifted.x), 1.0f, 1.0f, 1.0f));
    }
    if (vertices.count() != static_cast<int>(colors.length())) return MS::kFailure;

    MFnMesh mesh(meshPath, &status);
    const MFnDagNode& node = mesh;
    const MFnDependencyNode& depNode = mesh;
    MGlobal::displayInfo(node.partialPathName() + " " + depNode.name());

    MUintArray instances;
    instances.append(0);
    MString setName("mask");
    mesh.createColorSet(setName, NULL, &instances);
    const MString other = mesh.createColorSetWithName("other", NULL, &instances, &status);
    mesh.deleteColorSet(other, NULL, NULL);
    mesh.setCurrentColorSetName(setName, NULL, NULL);
    status = mesh.setVertexColors(colors, vertexIds);
    if (status) status = mesh.setVertexColors(colors, vertexIds, NULL, MFnMesh::kRGBA);
    return status;
}

// A ray query with acceleration parameters made by MFnMesh.
bool rayHitsMesh(MFnMesh& mesh, const MFloatPoint& source, const MFloatVector& direction) {
    MMeshIsectAccelParams accel;
    accel = MFnMesh::autoUniformGridParams();
    MFloatPointArray hitPoints;
    MIntArray hitFaces;
    MStatus status;
    return mesh.allIntersections(source, direction, NULL, NULL, false, MSpace::kWorld, 1000.0f,
                                 false, &accel, false, hitPoints, NULL, &hitFaces, NULL, NULL,
                                 NULL, 1e-6f, &status);
}

// Selection and view look-ups, and point and vector arithmetic.
MStatus cameraPosition(MPoint& position) {
    MSelectionList selection;
    MStatus status = MGlobal::getActiveSelectionList(selection, false);
    MDagPath camera;
    if (status) status = M3dView::active3dView().getCamera(camera);
    MVector offset(1.0, 0.0, 0.0);
    if (!offset.normalize()) return MS::kFailure;
    position = MPoint(0.0, 0.0, 0.0, 2.0) - offset;
    return status;
}

const char* versionText() { return ADSK_PLUGIN_SIGNATURE[0] ? MApiVersion : ""; }
