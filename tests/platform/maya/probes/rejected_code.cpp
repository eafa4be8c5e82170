// Calls that the Maya 2022 devkit headers reject. Each case, chosen with
// -DREJECTED_CASE=n, must fail to compile with an error naming the call.

#include <maya/MColorArray.h>
#include <maya/MFnMesh.h>
#include <maya/MIntArray.h>
#include <maya/MItMeshVertex.h>
#include <maya/MRenderView.h>

#if REJECTED_CASE == 1
// setVertexColors takes its arrays by non-const reference.
MStatus colour(MFnMesh& mesh, const MColorArray& colors, const MIntArray& vertexIds) {
    return mesh.setVertexColors(colors, vertexIds);
}
#elif REJECTED_CASE == 2
// The vertex iterator's queries are not const.
bool done(const MItMeshVertex& vertices) { return vertices.isDone(); }
#elif REJECTED_CASE == 3
// Only the default constructor of the acceleration parameters is public.
MMeshIsectAccelParams accel() { return MMeshIsectAccelParams(1); }
#elif REJECTED_CASE == 4
// The Render View has no editor-name query.
MString editor() { return MRenderView::getRenderEditorName(); }
#endif
