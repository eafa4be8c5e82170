// MItMeshVertex and MFnMesh over the mesh data of a shape.
#include "mesh_data.h"
#include "runtime.h"

#include <maya/MFnMesh.h>
#include <maya/MItMeshVertex.h>

#include <algorithm>
#include <cmath>

using namespace maya_runtime;

namespace {

MStatus noMesh() { return MStatus(MStatus::kInvalidParameter, "Object is incompatible with this method"); }

MeshData* meshOf(const MObject& shape) {
    Node* n = resolve(shape);
    return n && n->mesh ? n->mesh.get() : nullptr;
}

MMatrix normalMatrixOf(const MMatrix& world) {
    MMatrix m = world.inverse().transpose();
    for (int i = 0; i < 3; ++i) m.matrix[i][3] = m.matrix[3][i] = 0.0;
    m.matrix[3][3] = 1.0;
    return m;
}

}  // namespace

// --- MItMeshVertex ---------------------------------------------------------

MItMeshVertex::MItMeshVertex(const MDagPath& polyObject, MObject&, MStatus* ReturnStatus)
    : fIndex(0), fCount(0) {
    const MObject node = polyObject.node();
    const int shape = resolve(node) ? shapeOf(node.standinNode(), NodeKind::Mesh) : -1;
    if (shape < 0) {
        report(ReturnStatus, noMesh());
        return;
    }
    attach(handle(static_cast<unsigned>(shape)), polyObject.inclusiveMatrix());
    report(ReturnStatus, MStatus());
}

MItMeshVertex::MItMeshVertex(MObject& polyObject, MStatus* ReturnStatus) : fIndex(0), fCount(0) {
    const int shape = resolve(polyObject) ? shapeOf(polyObject.standinNode(), NodeKind::Mesh) : -1;
    if (shape < 0) {
        report(ReturnStatus, noMesh());
        return;
    }
    // Without a path, world space is the shape's own world placement.
    attach(handle(static_cast<unsigned>(shape)), worldMatrix(static_cast<unsigned>(shape)));
    report(ReturnStatus, MStatus());
}

MItMeshVertex::~MItMeshVertex() = default;

void MItMeshVertex::attach(const MObject& shape, const MMatrix& world) {
    fShape = shape;
    fCount = meshOf(shape)->numVertices();
    fWorld = world;
    fNormalMatrix = normalMatrixOf(world);
}

bool MItMeshVertex::isDone(MStatus* ReturnStatus) {
    report(ReturnStatus, MStatus());
    return fIndex >= fCount || !meshOf(fShape);
}

MStatus MItMeshVertex::next() {
    if (fIndex < fCount) ++fIndex;
    return MStatus();
}

MStatus MItMeshVertex::reset() {
    fIndex = 0;
    return MStatus();
}

int MItMeshVertex::count(MStatus* ReturnStatus) {
    report(ReturnStatus, MStatus());
    return fCount;
}

int MItMeshVertex::index(MStatus* ReturnStatus) {
    report(ReturnStatus, MStatus());
    return fIndex;
}

MStatus MItMeshVertex::setIndex(int index, int& prevIndex) {
    prevIndex = fIndex;
    if (index < 0 || index >= fCount) return MStatus(MStatus::kInvalidParameter, "Index out of range");
    fIndex = index;
    return MStatus();
}

MPoint MItMeshVertex::position(MSpace::Space space, MStatus* ReturnStatus) {
    MStatus status;
    if (injectedFailure("MItMeshVertex::position", &status)) {
        report(ReturnStatus, status);
        return MPoint();
    }
    const MeshData* mesh = meshOf(fShape);
    if (!mesh || fIndex >= fCount) {
        report(ReturnStatus, MStatus(MStatus::kFailure, "The iterator is done"));
        return MPoint();
    }
    report(ReturnStatus, status);
    const double* p = mesh->point(fIndex);
    const MPoint local(p[0], p[1], p[2]);
    return space == MSpace::kWorld ? local * fWorld : local;
}

MStatus MItMeshVertex::getNormal(MVector& vertexNormal, MSpace::Space space) {
    MStatus status;
    if (injectedFailure("MItMeshVertex::getNormal", &status)) return status;
    MeshData* mesh = meshOf(fShape);
    if (!mesh || fIndex >= fCount) return MStatus(MStatus::kFailure, "The iterator is done");
    const double* n = &mesh->topology().normals[size_t(fIndex) * 3];
    vertexNormal = MVector(n[0], n[1], n[2]);
    if (space == MSpace::kWorld) {
        vertexNormal = vertexNormal * fNormalMatrix;
        vertexNormal.normalize();  // a vertex without faces keeps its zero normal
    }
    return status;
}

namespace {

// Copies one row of the mesh's topology into list.
MStatus copyRow(const MObject& shape, int index, int count, const Rows Topology::*rows, MIntArray& list) {
    MeshData* mesh = meshOf(shape);
    if (!mesh || index >= count) return MStatus(MStatus::kFailure, "The iterator is done");
    const Rows& r = mesh->topology().*rows;
    list.setLength(static_cast<unsigned>(r.count(index)));
    std::copy_n(r.begin(index), r.count(index), list.data());
    return MStatus();
}

}  // namespace

MStatus MItMeshVertex::getConnectedVertices(MIntArray& vertexList) {
    MStatus status;
    if (injectedFailure("MItMeshVertex::getConnectedVertices", &status)) return status;
    return copyRow(fShape, fIndex, fCount, &Topology::neighbours, vertexList);
}

MStatus MItMeshVertex::getConnectedFaces(MIntArray& faceList) {
    return copyRow(fShape, fIndex, fCount, &Topology::faces, faceList);
}

MStatus MItMeshVertex::numConnectedEdges(int& edgeCount) const {
    MeshData* mesh = meshOf(fShape);
    if (!mesh || fIndex >= fCount) return MStatus(MStatus::kFailure, "The iterator is done");
    edgeCount = mesh->topology().neighbours.count(fIndex);
    return MStatus();
}

MStatus MItMeshVertex::numConnectedFaces(int& faceCount) const {
    MeshData* mesh = meshOf(fShape);
    if (!mesh || fIndex >= fCount) return MStatus(MStatus::kFailure, "The iterator is done");
    faceCount = mesh->topology().faces.count(fIndex);
    return MStatus();
}

// --- MFnMesh: geometry -----------------------------------------------------

MFnMesh::MFnMesh() = default;
MFnMesh::MFnMesh(const MDagPath& object, MStatus* ReturnStatus) {
    report(ReturnStatus, attach(object, MFn::kMesh));
}
MFnMesh::MFnMesh(const MObject& object, MStatus* ReturnStatus) {
    report(ReturnStatus, attach(object, MFn::kMesh));
}
MFnMesh::~MFnMesh() = default;
MFn::Type MFnMesh::type() const { return MFn::kMesh; }
MStatus MFnMesh::setObject(const MDagPath& path) { return attach(path, MFn::kMesh); }

int MFnMesh::numVertices(MStatus* ReturnStatus) const {
    const MeshData* mesh = meshOf(shape());
    report(ReturnStatus, mesh ? MStatus() : noMesh());
    return mesh ? mesh->numVertices() : 0;
}

int MFnMesh::numPolygons(MStatus* ReturnStatus) const {
    const MeshData* mesh = meshOf(shape());
    report(ReturnStatus, mesh ? MStatus() : noMesh());
    return mesh ? mesh->numFaces() : 0;
}

MStatus MFnMesh::getPoint(int vertexId, MPoint& pos, MSpace::Space space) const {
    const MeshData* mesh = meshOf(shape());
    if (!mesh) return noMesh();
    if (vertexId < 0 || vertexId >= mesh->numVertices())
        return MStatus(MStatus::kInvalidParameter, "Index out of range");
    const double* p = mesh->point(vertexId);
    pos = MPoint(p[0], p[1], p[2]);
    if (space == MSpace::kWorld) pos = pos * worldMatrix(shape().standinNode());
    return MStatus();
}

MStatus MFnMesh::getPoints(MPointArray& vertexArray, MSpace::Space space) const {
    const MeshData* mesh = meshOf(shape());
    if (!mesh) return noMesh();
    const MMatrix world = worldMatrix(shape().standinNode());
    vertexArray.setLength(static_cast<unsigned>(mesh->numVertices()));
    for (int v = 0; v < mesh->numVertices(); ++v) {
        const double* p = mesh->point(v);
        const MPoint local(p[0], p[1], p[2]);
        vertexArray[static_cast<unsigned>(v)] = space == MSpace::kWorld ? local * world : local;
    }
    return MStatus();
}

MStatus MFnMesh::getPolygonVertices(int polygonId, MIntArray& vertexList) const {
    const MeshData* mesh = meshOf(shape());
    if (!mesh) return noMesh();
    if (polygonId < 0 || polygonId >= mesh->numFaces())
        return MStatus(MStatus::kInvalidParameter, "Index out of range");
    vertexList.setLength(static_cast<unsigned>(mesh->faceSize(polygonId)));
    std::copy_n(mesh->faceBegin(polygonId), mesh->faceSize(polygonId), vertexList.data());
    return MStatus();
}

MStatus MFnMesh::getVertexNormal(int vertexId, bool, MVector& normal, MSpace::Space space) const {
    MeshData* mesh = meshOf(shape());
    if (!mesh) return noMesh();
    if (vertexId < 0 || vertexId >= mesh->numVertices())
        return MStatus(MStatus::kInvalidParameter, "Index out of range");
    const double* n = &mesh->topology().normals[size_t(vertexId) * 3];
    normal = MVector(n[0], n[1], n[2]);
    if (space == MSpace::kWorld) {
        normal = normal * normalMatrixOf(worldMatrix(shape().standinNode()));
        normal.normalize();
    }
    return MStatus();
}

// --- MFnMesh: ray queries --------------------------------------------------

MMeshIsectAccelParams::MMeshIsectAccelParams() : fMode(kNone) {}
MMeshIsectAccelParams::MMeshIsectAccelParams(Mode mode) : fMode(mode) {}

MMeshIsectAccelParams MFnMesh::autoUniformGridParams() {
    return MMeshIsectAccelParams(MMeshIsectAccelParams::kAutoGrid);
}

MMeshIsectAccelParams MFnMesh::uniformGridParams(int, int, int) {
    return MMeshIsectAccelParams(MMeshIsectAccelParams::kUniformGrid);
}

MStatus MFnMesh::freeCachedIntersectionAccelerator() {
    MeshData* mesh = meshOf(shape());
    if (!mesh) return noMesh();
    mesh->freeBvh();
    return MStatus();
}

MString MFnMesh::cachedIntersectionAcceleratorInfo(MStatus* ReturnStatus) {
    MeshData* mesh = meshOf(shape());
    report(ReturnStatus, mesh ? MStatus() : noMesh());
    if (!mesh || !mesh->hasBvh()) return MString();
    const std::string info = "bounding volume hierarchy over " + std::to_string(mesh->numTriangles()) +
                             " triangles, " + std::to_string(mesh->bvh().nodeCount()) + " nodes";
    return MString(info.c_str());
}

namespace {

// The world-to-object matrix of a shape, kept while the scene is unedited: the
// ray queries of a call ask for it once per ray.
const MMatrix& objectFromWorld(unsigned shape) {
    static unsigned cachedShape = ~0u, cachedGeneration = 0, cachedEdit = 0;
    static MMatrix cached;
    const Scene& scene = state().scene;
    if (shape != cachedShape || scene.generation != cachedGeneration || scene.editVersion != cachedEdit) {
        cached = worldMatrix(shape).inverse();
        cachedShape = shape;
        cachedGeneration = scene.generation;
        cachedEdit = scene.editVersion;
    }
    return cached;
}

// Tests the triangles of the listed faces (with triIds, only triangle
// triIds[i] of face faceIds[i]), or of every face.
void bruteForce(const MeshData& mesh, const Ray& ray, const MIntArray* faceIds, const MIntArray* triIds,
                std::vector<Hit>& hits) {
    Hit hit;
    auto testFace = [&](int f, int onlyLocal) {
        if (f < 0 || f >= mesh.numFaces()) return;
        for (int local = 0; local < mesh.faceSize(f) - 2; ++local) {
            if (onlyLocal >= 0 && local != onlyLocal) continue;
            if (intersectTriangle(ray, mesh.packTriangle(f, local), hit)) hits.push_back(hit);
        }
    };
    if (!faceIds) {
        for (int f = 0; f < mesh.numFaces(); ++f) testFace(f, -1);
        return;
    }
    const bool paired = triIds && triIds->length() == faceIds->length();
    for (unsigned i = 0; i < faceIds->length(); ++i) testFace((*faceIds)[i], paired ? (*triIds)[i] : -1);
}

// A ray through the diagonal shared by two fan triangles of one polygon meets
// that polygon once: of hits of one face at (nearly) the same t, keep the one
// on the lowest-numbered triangle, whatever order the search found them in.
void dropRepeatedFaceHits(std::vector<Hit>& hits) {
    if (hits.size() < 2) return;
    size_t kept = 0;
    for (size_t i = 0; i < hits.size(); ++i) {
        bool repeated = false;
        for (size_t k = 0; k < kept && !repeated; ++k) {
            const float scale = std::max(1.0f, std::fabs(hits[k].t));
            repeated = hits[k].face == hits[i].face && std::fabs(hits[k].t - hits[i].t) <= 1e-5f * scale;
            if (repeated && hits[i].local < hits[k].local) hits[k] = hits[i];
        }
        if (!repeated) hits[kept++] = hits[i];
    }
    hits.resize(kept);
}

}  // namespace

bool MFnMesh::intersect(const MFloatPoint& raySource, const MFloatVector& rayDirection,
                        const MIntArray* faceIds, const MIntArray* triIds, MSpace::Space space,
                        float maxParam, bool testBothDirections, const MMeshIsectAccelParams* accel,
                        float tolerance, void* out) const {
    std::vector<Hit>& hits = *static_cast<std::vector<Hit>*>(out);
    MeshData* mesh = meshOf(shape());
    if (!mesh) return false;

    MPoint origin(raySource.x, raySource.y, raySource.z);
    MVector dir(rayDirection.x, rayDirection.y, rayDirection.z);
    if (space == MSpace::kWorld) {
        const MMatrix& toObject = objectFromWorld(shape().standinNode());
        origin = origin * toObject;
        dir = dir * toObject;
    }
    Ray ray;
    for (int a = 0; a < 3; ++a) {
        ray.origin[a] = static_cast<float>(origin[a]);
        ray.dir[a] = static_cast<float>(dir[a]);
    }
    ray.tMin = testBothDirections ? -maxParam : 0.0f;
    ray.tMax = maxParam;
    ray.tolerance = tolerance;

    if (faceIds || !accel || accel->fMode == MMeshIsectAccelParams::kNone)
        bruteForce(*mesh, ray, faceIds, triIds, hits);
    else
        mesh->bvh().intersect(ray, hits);
    dropRepeatedFaceHits(hits);
    return !hits.empty();
}

namespace {

// Reused between queries, so that a query allocates nothing once warm.
std::vector<Hit>& scratchHits() {
    static std::vector<Hit> hits;
    hits.clear();
    return hits;
}

bool byDistance(const Hit& a, const Hit& b) { return std::fabs(a.t) < std::fabs(b.t); }

}  // namespace

bool MFnMesh::allIntersections(const MFloatPoint& raySource, const MFloatVector& rayDirection,
                               const MIntArray* faceIds, const MIntArray* triIds, bool,
                               MSpace::Space space, float maxParam, bool testBothDirections,
                               MMeshIsectAccelParams* accelParams, bool sortHits,
                               MFloatPointArray& hitPoints, MFloatArray* hitRayParams, MIntArray* hitFaces,
                               MIntArray* hitTriangles, MFloatArray* hitBary1s, MFloatArray* hitBary2s,
                               float tolerance, MStatus* ReturnStatus) {
    MStatus status;
    if (injectedFailure("MFnMesh::allIntersections", &status)) {
        report(ReturnStatus, status);
        return false;
    }
    if (!meshOf(shape())) {
        report(ReturnStatus, noMesh());
        return false;
    }
    std::vector<Hit>& hits = scratchHits();
    intersect(raySource, rayDirection, faceIds, triIds, space, maxParam, testBothDirections, accelParams,
              tolerance, &hits);
    if (sortHits) std::stable_sort(hits.begin(), hits.end(), byDistance);
    for (const Hit& h : hits) {
        hitPoints.append(MFloatPoint(raySource.x + h.t * rayDirection.x, raySource.y + h.t * rayDirection.y,
                                     raySource.z + h.t * rayDirection.z));
        if (hitRayParams) hitRayParams->append(h.t);
        if (hitFaces) hitFaces->append(h.face);
        if (hitTriangles) hitTriangles->append(h.local);
        if (hitBary1s) hitBary1s->append(h.u);
        if (hitBary2s) hitBary2s->append(h.v);
    }
    report(ReturnStatus, status);
    return !hits.empty();
}

// --- MFnMesh: colour sets --------------------------------------------------

namespace {

int findColorSet(const MeshData& mesh, const std::string& name) {
    for (size_t i = 0; i < mesh.colorSets.size(); ++i)
        if (mesh.colorSets[i].name == name) return static_cast<int>(i);
    return -1;
}

// The name itself when free; otherwise its stem (trailing digits dropped, or
// "colorSet" for an empty name) followed by the smallest free number from 1.
std::string freeColorSetName(const MeshData& mesh, const std::string& wanted) {
    if (!wanted.empty() && findColorSet(mesh, wanted) < 0) return wanted;
    std::string stem = wanted.substr(0, wanted.find_last_not_of("0123456789") + 1);
    if (wanted.empty() || stem.empty()) stem = wanted.empty() ? "colorSet" : wanted;
    for (int n = 1;; ++n) {
        const std::string candidate = stem + std::to_string(n);
        if (findColorSet(mesh, candidate) < 0) return candidate;
    }
}

int addColorSet(MeshData& mesh, const std::string& name) {
    mesh.colorSets.push_back({name, std::vector<float>(size_t(mesh.numVertices()) * 4, -1.0f)});
    const int index = static_cast<int>(mesh.colorSets.size()) - 1;
    if (mesh.currentColorSet < 0) mesh.currentColorSet = index;  // a mesh's first set is current
    return index;
}

MStatus noColorSet() { return MStatus(MStatus::kInvalidParameter, "No colour set of that name"); }

}  // namespace

int MFnMesh::numColorSets(MStatus* ReturnStatus) const {
    const MeshData* mesh = meshOf(shape());
    report(ReturnStatus, mesh ? MStatus() : noMesh());
    return mesh ? static_cast<int>(mesh->colorSets.size()) : 0;
}

MStatus MFnMesh::getColorSetNames(MStringArray& setNames) const {
    const MeshData* mesh = meshOf(shape());
    if (!mesh) return noMesh();
    setNames.clear();
    for (const ColorSet& set : mesh->colorSets) setNames.append(set.name.c_str());
    return MStatus();
}

MStatus MFnMesh::createColorSet(MString& colorSetName, MDGModifier*, const MUintArray*) {
    MStatus status;
    if (injectedFailure("MFnMesh::createColorSet", &status)) return status;
    MeshData* mesh = meshOf(shape());
    if (!mesh) return noMesh();
    const std::string name = freeColorSetName(*mesh, colorSetName.asChar());
    addColorSet(*mesh, name);
    colorSetName = name.c_str();
    return status;
}

MString MFnMesh::createColorSetWithName(const MString& colorSetName, MDGModifier* modifier,
                                        const MUintArray* instances, MStatus* ReturnStatus) {
    MString name(colorSetName);
    report(ReturnStatus, createColorSet(name, modifier, instances));
    return name;
}

MStatus MFnMesh::deleteColorSet(const MString& colorSetName, MDGModifier*, MSelectionList*) {
    MStatus status;
    if (injectedFailure("MFnMesh::deleteColorSet", &status)) return status;
    MeshData* mesh = meshOf(shape());
    if (!mesh) return noMesh();
    const int index = findColorSet(*mesh, colorSetName.asChar());
    if (index < 0) return noColorSet();
    mesh->colorSets.erase(mesh->colorSets.begin() + index);
    // The current set stays current; when it is the one deleted, the first
    // remaining set (if any) takes its place.
    if (mesh->currentColorSet == index) mesh->currentColorSet = mesh->colorSets.empty() ? -1 : 0;
    else if (mesh->currentColorSet > index) --mesh->currentColorSet;
    return status;
}

MStatus MFnMesh::setCurrentColorSetName(const MString& colorSetName, MDGModifier*, MSelectionList*) {
    MStatus status;
    if (injectedFailure("MFnMesh::setCurrentColorSetName", &status)) return status;
    MeshData* mesh = meshOf(shape());
    if (!mesh) return noMesh();
    const int index = findColorSet(*mesh, colorSetName.asChar());
    if (index < 0) return noColorSet();
    mesh->currentColorSet = index;
    return status;
}

MString MFnMesh::currentColorSetName(int, MStatus* ReturnStatus) const {
    const MeshData* mesh = meshOf(shape());
    report(ReturnStatus, mesh ? MStatus() : noMesh());
    if (!mesh || mesh->currentColorSet < 0) return MString();
    return MString(mesh->colorSets[size_t(mesh->currentColorSet)].name.c_str());
}

MStatus MFnMesh::setVertexColors(MColorArray& colors, MIntArray& vertexList, MDGModifier* modifier) {
    return setVertexColors(colors, vertexList, modifier, kRGBA);
}

// The runtime keeps every colour set as RGBA, whatever the representation.
MStatus MFnMesh::setVertexColors(MColorArray& colors, MIntArray& vertexList, MDGModifier*,
                                 MColorRepresentation) {
    MStatus status;
    if (injectedFailure("MFnMesh::setVertexColors", &status)) return status;
    MeshData* mesh = meshOf(shape());
    if (!mesh) return noMesh();
    if (colors.length() != vertexList.length())
        return MStatus(MStatus::kInvalidParameter, "The colour and vertex lists differ in length");
    for (unsigned i = 0; i < vertexList.length(); ++i)
        if (vertexList[i] < 0 || vertexList[i] >= mesh->numVertices())
            return MStatus(MStatus::kInvalidParameter, "Vertex index out of range");
    if (mesh->currentColorSet < 0) addColorSet(*mesh, freeColorSetName(*mesh, ""));
    float* rgba = mesh->colorSets[size_t(mesh->currentColorSet)].rgba.data();
    for (unsigned i = 0; i < vertexList.length(); ++i) {
        float* dst = rgba + size_t(vertexList[i]) * 4;
        dst[0] = colors[i].r;
        dst[1] = colors[i].g;
        dst[2] = colors[i].b;
        dst[3] = colors[i].a;
    }
    return status;
}

MStatus MFnMesh::getVertexColors(MColorArray& colors, const MString* colorSet,
                                 const MColor* defaultUnsetColor) const {
    const MeshData* mesh = meshOf(shape());
    if (!mesh) return noMesh();
    const int index = colorSet ? findColorSet(*mesh, colorSet->asChar()) : mesh->currentColorSet;
    if (index < 0) return noColorSet();
    const float* rgba = mesh->colorSets[size_t(index)].rgba.data();
    colors.setLength(static_cast<unsigned>(mesh->numVertices()));
    for (int v = 0; v < mesh->numVertices(); ++v) {
        const float* c = rgba + size_t(v) * 4;
        const bool unset = c[0] == -1.0f && c[1] == -1.0f && c[2] == -1.0f && c[3] == -1.0f;
        colors[static_cast<unsigned>(v)] =
            unset && defaultUnsetColor ? *defaultUnsetColor : MColor(c[0], c[1], c[2], c[3]);
    }
    return MStatus();
}
