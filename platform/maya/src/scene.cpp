// The scene: nodes and their matrices, handles and paths, the selection and the
// function sets of its nodes (the mesh's own are in mesh_api.cpp).
#include "mesh_data.h"
#include "runtime.h"

#include <maya/MDagPath.h>
#include <maya/MFloatMatrix.h>
#include <maya/MFnBase.h>
#include <maya/MFnCamera.h>
#include <maya/MFnDagNode.h>
#include <maya/MGlobal.h>
#include <maya/MObject.h>
#include <maya/MSelectionList.h>

#include <algorithm>
#include <cmath>

namespace maya_runtime {

Node* resolve(const MObject& object) {
    Scene& scene = state().scene;
    if (object.standinGeneration() != scene.generation || object.standinNode() >= scene.nodes.size())
        return nullptr;
    return &scene.nodes[object.standinNode()];
}

MObject handle(unsigned node) { return MObject(node, state().scene.generation); }

int shapeOf(unsigned node, NodeKind wanted) {
    const Scene& scene = state().scene;
    if (node >= scene.nodes.size()) return -1;
    const Node& n = scene.nodes[node];
    if (n.kind == wanted) return static_cast<int>(node);
    if (n.kind != NodeKind::Transform) return -1;
    int found = -1;
    for (unsigned c : n.children) {
        if (scene.nodes[c].kind == NodeKind::Transform) continue;
        if (found >= 0) return -1;  // several shapes: none is "the" shape
        found = static_cast<int>(c);
    }
    return found >= 0 && scene.nodes[found].kind == wanted ? found : -1;
}

MMatrix localMatrix(const Node& node) {
    if (node.kind != NodeKind::Transform) return MMatrix();
    // Rotations about x, then y, then z, then the translation; for row vectors
    // the product reads left to right in that order.
    const double k = M_PI / 180.0;
    const double cx = std::cos(node.rotate[0] * k), sx = std::sin(node.rotate[0] * k);
    const double cy = std::cos(node.rotate[1] * k), sy = std::sin(node.rotate[1] * k);
    const double cz = std::cos(node.rotate[2] * k), sz = std::sin(node.rotate[2] * k);
    const double rx[4][4] = {{1, 0, 0, 0}, {0, cx, sx, 0}, {0, -sx, cx, 0}, {0, 0, 0, 1}};
    const double ry[4][4] = {{cy, 0, -sy, 0}, {0, 1, 0, 0}, {sy, 0, cy, 0}, {0, 0, 0, 1}};
    const double rz[4][4] = {{cz, sz, 0, 0}, {-sz, cz, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    MMatrix m = MMatrix(rx) * MMatrix(ry) * MMatrix(rz);
    m.matrix[3][0] = node.translate[0];
    m.matrix[3][1] = node.translate[1];
    m.matrix[3][2] = node.translate[2];
    return m;
}

MMatrix worldMatrix(unsigned node) {
    const Scene& scene = state().scene;
    MMatrix m;
    for (int n = static_cast<int>(node); n >= 0; n = scene.nodes[n].parent)
        m = m * localMatrix(scene.nodes[n]);
    return m;
}

}  // namespace maya_runtime

using namespace maya_runtime;

namespace {

MStatus noObject() { return MStatus(MStatus::kInvalidParameter, "Object does not exist"); }

MFn::Type typeOf(const Node& node) {
    switch (node.kind) {
    case NodeKind::Transform: return MFn::kTransform;
    case NodeKind::Camera: return MFn::kCamera;
    case NodeKind::Mesh: return MFn::kMesh;
    }
    return MFn::kInvalid;
}

bool isA(const Node& node, MFn::Type type) {
    const MFn::Type t = typeOf(node);
    return type == t || type == MFn::kBase || type == MFn::kNamedObject ||
           type == MFn::kDependencyNode || type == MFn::kDagNode;
}

// The node an exact name stands for: a node name, or a "|a|b" long path whose
// every step is the parent of the next.
int findByName(const std::string& name) {
    const Scene& scene = state().scene;
    if (name.empty()) return -1;
    if (name[0] != '|') {
        auto it = scene.byName.find(name);
        return it == scene.byName.end() ? -1 : static_cast<int>(it->second);
    }
    int current = -1;
    size_t pos = 1;
    while (pos <= name.size()) {
        const size_t bar = name.find('|', pos);
        const std::string step = name.substr(pos, bar == std::string::npos ? std::string::npos : bar - pos);
        auto it = scene.byName.find(step);
        if (step.empty() || it == scene.byName.end() || scene.nodes[it->second].parent != current)
            return -1;
        current = static_cast<int>(it->second);
        if (bar == std::string::npos) break;
        pos = bar + 1;
    }
    return current;
}

}  // namespace

// --- MObject ---------------------------------------------------------------

MObject MObject::kNullObj;

MObject::MObject() : fNode(0), fGeneration(0) {}
MObject::MObject(unsigned int node, unsigned int generation) : fNode(node), fGeneration(generation) {}
MObject::MObject(const MObject& other) = default;
MObject& MObject::operator=(const MObject& other) = default;
MObject::~MObject() = default;
bool MObject::isNull() const { return resolve(*this) == nullptr; }
MFn::Type MObject::apiType() const {
    const Node* n = resolve(*this);
    return n ? typeOf(*n) : MFn::kInvalid;
}
bool MObject::hasFn(MFn::Type type) const {
    const Node* n = resolve(*this);
    return n && isA(*n, type);
}
const char* MObject::apiTypeStr() const {
    switch (apiType()) {
    case MFn::kTransform: return "kTransform";
    case MFn::kCamera: return "kCamera";
    case MFn::kMesh: return "kMesh";
    default: return "kInvalid";
    }
}
bool MObject::operator==(const MObject& other) const {
    const bool a = isNull(), b = other.isNull();
    if (a || b) return a == b;
    return fNode == other.fNode && fGeneration == other.fGeneration;
}
bool MObject::operator!=(const MObject& other) const { return !(*this == other); }

// --- MDagPath --------------------------------------------------------------

MDagPath::MDagPath() = default;
MDagPath::MDagPath(const MDagPath& other) = default;
MDagPath& MDagPath::operator=(const MDagPath& other) = default;
MDagPath::~MDagPath() = default;
bool MDagPath::operator==(const MDagPath& other) const { return fNode == other.fNode; }
bool MDagPath::operator!=(const MDagPath& other) const { return !(*this == other); }

bool MDagPath::isValid(MStatus* ReturnStatus) const {
    report(ReturnStatus, MStatus());
    return resolve(fNode) != nullptr;
}

bool MDagPath::hasFn(MFn::Type type, MStatus* ReturnStatus) const {
    const Node* n = resolve(fNode);
    report(ReturnStatus, n ? MStatus() : noObject());
    return n && isA(*n, type);
}

MFn::Type MDagPath::apiType(MStatus* ReturnStatus) const {
    report(ReturnStatus, resolve(fNode) ? MStatus() : noObject());
    return fNode.apiType();
}

MObject MDagPath::node(MStatus* ReturnStatus) const {
    if (!resolve(fNode)) {
        report(ReturnStatus, noObject());
        return MObject();
    }
    report(ReturnStatus, MStatus());
    return fNode;
}

MObject MDagPath::transform(MStatus* ReturnStatus) const {
    const Node* n = resolve(fNode);
    if (!n) {
        report(ReturnStatus, noObject());
        return MObject();
    }
    report(ReturnStatus, MStatus());
    if (n->kind == NodeKind::Transform || n->parent < 0) return fNode;
    return handle(static_cast<unsigned>(n->parent));
}

unsigned int MDagPath::length(MStatus* ReturnStatus) const {
    unsigned depth = 0;
    const Scene& scene = state().scene;
    if (resolve(fNode))
        for (int n = static_cast<int>(fNode.standinNode()); n >= 0; n = scene.nodes[n].parent) ++depth;
    report(ReturnStatus, MStatus());
    return depth;
}

MStatus MDagPath::pop(unsigned int num) {
    const Node* n = resolve(fNode);
    if (!n) return noObject();
    for (unsigned i = 0; i < num; ++i) {
        if (n->parent < 0) {
            fNode = MObject();  // popped past the top: the empty path
            return MStatus();
        }
        fNode = handle(static_cast<unsigned>(n->parent));
        n = resolve(fNode);
    }
    return MStatus();
}

MStatus MDagPath::push(const MObject& child) {
    const Node* c = resolve(child);
    if (!c) return noObject();
    const int parent = resolve(fNode) ? static_cast<int>(fNode.standinNode()) : -1;
    if (c->parent != parent) return MStatus(MStatus::kInvalidParameter, "Object is not a child of the path");
    fNode = child;
    return MStatus();
}

unsigned int MDagPath::childCount(MStatus* ReturnStatus) const {
    const Node* n = resolve(fNode);
    report(ReturnStatus, n ? MStatus() : noObject());
    return n ? static_cast<unsigned>(n->children.size()) : 0;
}

MObject MDagPath::child(unsigned int i, MStatus* ReturnStatus) const {
    const Node* n = resolve(fNode);
    if (!n || i >= n->children.size()) {
        report(ReturnStatus, MStatus(MStatus::kInvalidParameter, "No child at that index"));
        return MObject();
    }
    report(ReturnStatus, MStatus());
    return handle(n->children[i]);
}

MStatus MDagPath::numberOfShapesDirectlyBelow(unsigned int& num) const {
    num = 0;
    const Node* n = resolve(fNode);
    if (!n) return noObject();
    for (unsigned c : n->children) num += state().scene.nodes[c].kind != NodeKind::Transform;
    return MStatus();
}

MStatus MDagPath::extendToShape() {
    MStatus status;
    if (injectedFailure("MDagPath::extendToShape", &status)) return status;
    const Node* n = resolve(fNode);
    if (!n) return noObject();
    if (n->kind != NodeKind::Transform) return status;
    unsigned shapes = 0;
    numberOfShapesDirectlyBelow(shapes);
    if (shapes != 1)
        return MStatus(MStatus::kInvalidParameter, "The path does not have exactly one shape below it");
    return extendToShapeDirectlyBelow(0);
}

MStatus MDagPath::extendToShapeDirectlyBelow(unsigned int index) {
    const Node* n = resolve(fNode);
    if (!n) return noObject();
    unsigned k = 0;
    for (unsigned c : n->children) {
        if (state().scene.nodes[c].kind == NodeKind::Transform) continue;
        if (k++ == index) {
            fNode = handle(c);
            return MStatus();
        }
    }
    return MStatus(MStatus::kInvalidParameter, "No shape at that index");
}

MMatrix MDagPath::inclusiveMatrix(MStatus* ReturnStatus) const {
    if (!resolve(fNode)) {
        report(ReturnStatus, noObject());
        return MMatrix();
    }
    report(ReturnStatus, MStatus());
    return worldMatrix(fNode.standinNode());
}

MMatrix MDagPath::exclusiveMatrix(MStatus* ReturnStatus) const {
    const Node* n = resolve(fNode);
    if (!n) {
        report(ReturnStatus, noObject());
        return MMatrix();
    }
    report(ReturnStatus, MStatus());
    return n->parent < 0 ? MMatrix() : worldMatrix(static_cast<unsigned>(n->parent));
}

MMatrix MDagPath::inclusiveMatrixInverse(MStatus* ReturnStatus) const {
    return inclusiveMatrix(ReturnStatus).inverse();
}

MMatrix MDagPath::exclusiveMatrixInverse(MStatus* ReturnStatus) const {
    return exclusiveMatrix(ReturnStatus).inverse();
}

MString MDagPath::partialPathName(MStatus* ReturnStatus) const {
    const Node* n = resolve(fNode);
    report(ReturnStatus, n ? MStatus() : noObject());
    return n ? MString(n->name.c_str()) : MString();
}

MString MDagPath::fullPathName(MStatus* ReturnStatus) const {
    const Node* n = resolve(fNode);
    report(ReturnStatus, n ? MStatus() : noObject());
    std::string path;
    const Scene& scene = state().scene;
    for (int k = n ? static_cast<int>(fNode.standinNode()) : -1; k >= 0; k = scene.nodes[k].parent)
        path = "|" + scene.nodes[k].name + path;
    return MString(path.c_str());
}

MStatus MDagPath::getAPathTo(const MObject& node, MDagPath& path) {
    if (!resolve(node)) return noObject();
    path.fNode = node;
    return MStatus();
}

MDagPath MDagPath::getAPathTo(const MObject& node, MStatus* ReturnStatus) {
    MDagPath path;
    report(ReturnStatus, getAPathTo(node, path));
    return path;
}

// --- MSelectionList --------------------------------------------------------

MSelectionList::MSelectionList() = default;
MSelectionList::MSelectionList(const MSelectionList& other) = default;
MSelectionList& MSelectionList::operator=(const MSelectionList& other) = default;
MSelectionList::~MSelectionList() = default;

MStatus MSelectionList::clear() {
    fItems.clear();
    return MStatus();
}
bool MSelectionList::isEmpty(MStatus* ReturnStatus) const {
    report(ReturnStatus, MStatus());
    return fItems.empty();
}
unsigned int MSelectionList::length(MStatus* ReturnStatus) const {
    report(ReturnStatus, MStatus());
    return static_cast<unsigned>(fItems.size());
}

MStatus MSelectionList::add(const MString& matchString, bool) {
    MStatus status;
    if (injectedFailure("MSelectionList::add", &status)) return status;
    const int node = findByName(matchString.asChar());
    if (node < 0) return noObject();
    return add(handle(static_cast<unsigned>(node)), true);  // a name already listed is not listed twice
}

MStatus MSelectionList::add(const MDagPath& object, const MObject&, bool mergeWithExisting) {
    MStatus status;
    const MObject node = object.node(&status);
    return status ? add(node, mergeWithExisting) : status;
}

MStatus MSelectionList::add(const MObject& object, bool mergeWithExisting) {
    if (!resolve(object)) return noObject();
    if (mergeWithExisting)
        for (const MObject& item : fItems)
            if (item == object) return MStatus();
    fItems.push_back(object);
    return MStatus();
}

MStatus MSelectionList::add(const MSelectionList& other, MergeStrategy strategy) {
    for (const MObject& item : other.fItems) {
        auto it = std::find(fItems.begin(), fItems.end(), item);
        const bool present = it != fItems.end();
        if (strategy == kMergeNormal && !present) fItems.push_back(item);
        if (strategy == kXORWithList) {
            if (present) fItems.erase(it);
            else fItems.push_back(item);
        }
        if (strategy == kRemoveFromList && present) fItems.erase(it);
    }
    return MStatus();
}

MStatus MSelectionList::remove(unsigned int index) {
    if (index >= fItems.size()) return MStatus(MStatus::kInvalidParameter, "No element at given index");
    fItems.erase(fItems.begin() + index);
    return MStatus();
}

MStatus MSelectionList::getDagPath(unsigned int index, MDagPath& dagPath, MObject&) const {
    MStatus status;
    if (injectedFailure("MSelectionList::getDagPath", &status)) return status;
    if (index >= fItems.size()) return MStatus(MStatus::kInvalidParameter, "No element at given index");
    if (!resolve(fItems[index])) return noObject();
    return MDagPath::getAPathTo(fItems[index], dagPath);
}

MStatus MSelectionList::getDependNode(unsigned int index, MObject& depNode) const {
    if (index >= fItems.size()) return MStatus(MStatus::kInvalidParameter, "No element at given index");
    if (!resolve(fItems[index])) return noObject();
    depNode = fItems[index];
    return MStatus();
}

bool MSelectionList::hasItem(const MDagPath& item, const MObject&, MStatus* ReturnStatus) const {
    report(ReturnStatus, MStatus());
    const MObject node = item.node();
    return std::find(fItems.begin(), fItems.end(), node) != fItems.end();
}

// --- MGlobal: the active selection -----------------------------------------

MStatus MGlobal::getActiveSelectionList(MSelectionList& dest, bool) {
    MStatus status;
    if (injectedFailure("MGlobal::getActiveSelectionList", &status)) return status;
    dest.clear();
    for (unsigned node : state().scene.selection) dest.add(handle(node));
    return status;
}

MStatus MGlobal::setActiveSelectionList(const MSelectionList& src, ListAdjustment listAdjustment) {
    std::vector<unsigned>& selection = state().scene.selection;
    if (listAdjustment == kReplaceList) selection.clear();
    for (unsigned i = 0; i < src.length(); ++i) {
        MObject node;
        src.getDependNode(i, node);
        const unsigned id = node.standinNode();
        auto it = std::find(selection.begin(), selection.end(), id);
        if (listAdjustment == kRemoveFromList || (listAdjustment == kXORWithList && it != selection.end())) {
            if (it != selection.end()) selection.erase(it);
        } else if (it == selection.end()) {
            if (listAdjustment == kAddToHeadOfList) selection.insert(selection.begin(), id);
            else selection.push_back(id);
        }
    }
    return MStatus();
}

MStatus MGlobal::getSelectionListByName(const MString& name, MSelectionList& list) {
    list.clear();
    return list.add(name);
}

MStatus MGlobal::clearSelectionList() {
    state().scene.selection.clear();
    return MStatus();
}

// --- MFnBase ---------------------------------------------------------------

MFnBase::MFnBase() = default;
MFnBase::~MFnBase() = default;
MFn::Type MFnBase::type() const { return MFn::kBase; }
bool MFnBase::hasObj(MFn::Type type) const { return fShape.hasFn(type); }
MObject MFnBase::object(MStatus* ReturnStatus) const {
    report(ReturnStatus, attached() ? MStatus() : noObject());
    return fShape;
}

MStatus MFnBase::attach(const MDagPath& path, MFn::Type wanted) {
    fPath = path;
    return attach(path.node(), wanted);
}

MStatus MFnBase::attach(const MObject& node, MFn::Type wanted) {
    fShape = MObject();
    if (!resolve(node)) return noObject();
    int target = static_cast<int>(node.standinNode());
    if (wanted == MFn::kCamera || wanted == MFn::kMesh)
        target = shapeOf(node.standinNode(), wanted == MFn::kCamera ? NodeKind::Camera : NodeKind::Mesh);
    if (target < 0) return MStatus(MStatus::kInvalidParameter, "Object is incompatible with this method");
    fShape = handle(static_cast<unsigned>(target));
    return MStatus();
}

// --- MFnDependencyNode, MFnDagNode -----------------------------------------

MFnDependencyNode::MFnDependencyNode() = default;
MFnDependencyNode::MFnDependencyNode(const MObject& object, MStatus* ReturnStatus) {
    report(ReturnStatus, attach(object, MFn::kDependencyNode));
}
MFnDependencyNode::~MFnDependencyNode() = default;
MFn::Type MFnDependencyNode::type() const { return MFn::kDependencyNode; }

MString MFnDependencyNode::name(MStatus* ReturnStatus) const {
    const Node* n = resolve(shape());
    report(ReturnStatus, n ? MStatus() : noObject());
    return n ? MString(n->name.c_str()) : MString();
}

MFnDagNode::MFnDagNode() = default;
MFnDagNode::MFnDagNode(const MObject& object, MStatus* ReturnStatus) {
    report(ReturnStatus, attach(object, MFn::kDagNode));
}
MFnDagNode::MFnDagNode(const MDagPath& object, MStatus* ReturnStatus) {
    report(ReturnStatus, attach(object, MFn::kDagNode));
}
MFnDagNode::~MFnDagNode() = default;
MFn::Type MFnDagNode::type() const { return MFn::kDagNode; }

MStatus MFnDagNode::getPath(MDagPath& path) const {
    if (!resolve(shape())) return noObject();
    if (this->path().isValid()) {
        path = this->path();
        return MStatus();
    }
    return MDagPath::getAPathTo(shape(), path);
}
MDagPath MFnDagNode::dagPath(MStatus* ReturnStatus) const {
    MDagPath path;
    report(ReturnStatus, getPath(path));
    return path;
}
MString MFnDagNode::fullPathName(MStatus* ReturnStatus) const {
    return dagPath(ReturnStatus).fullPathName();
}
MString MFnDagNode::partialPathName(MStatus* ReturnStatus) const {
    return dagPath(ReturnStatus).partialPathName();
}

// --- MFnCamera -------------------------------------------------------------

namespace {

constexpr double kFilmWidthMm = 36.0;  // 1.41732 inches, Maya's default 35 mm film back
constexpr double kMmPerInch = 25.4;

const CameraData* cameraOf(const MObject& shape, MStatus* ReturnStatus) {
    const Node* n = resolve(shape);
    if (!n || n->kind != NodeKind::Camera) {
        report(ReturnStatus, MStatus(MStatus::kInvalidParameter, "Object is incompatible with this method"));
        return nullptr;
    }
    report(ReturnStatus, MStatus());
    return &n->camera;
}

}  // namespace

MFnCamera::MFnCamera() = default;
MFnCamera::MFnCamera(const MDagPath& object, MStatus* ReturnStatus) {
    report(ReturnStatus, attach(object, MFn::kCamera));
}
MFnCamera::MFnCamera(const MObject& object, MStatus* ReturnStatus) {
    report(ReturnStatus, attach(object, MFn::kCamera));
}
MFnCamera::~MFnCamera() = default;
MFn::Type MFnCamera::type() const { return MFn::kCamera; }
MStatus MFnCamera::setObject(const MDagPath& path) { return attach(path, MFn::kCamera); }

MFloatMatrix MFnCamera::projectionMatrix(MStatus* ReturnStatus) const {
    MStatus status;
    if (injectedFailure("MFnCamera::projectionMatrix", &status)) {
        report(ReturnStatus, status);
        return MFloatMatrix();
    }
    const CameraData* cam = cameraOf(shape(), ReturnStatus);
    if (!cam) return MFloatMatrix();
    // OpenGL's perspective matrix, transposed for row vectors, with [2][2]
    // and [3][2] negated.
    const double sx = 2.0 * cam->focalLength / kFilmWidthMm;
    const double sy = sx * cam->aspect;
    const double n = cam->nearClip, f = cam->farClip;
    double m[4][4] = {};
    m[0][0] = sx;
    m[1][1] = sy;
    m[2][2] = (f + n) / (f - n);
    m[2][3] = -1.0;
    m[3][2] = 2.0 * f * n / (f - n);
    return MFloatMatrix(m);
}

MPoint MFnCamera::eyePoint(MSpace::Space space, MStatus* ReturnStatus) const {
    if (!cameraOf(shape(), ReturnStatus)) return MPoint();
    if (space != MSpace::kWorld) return MPoint();
    return MPoint() * worldMatrix(shape().standinNode());
}
MVector MFnCamera::viewDirection(MSpace::Space space, MStatus* ReturnStatus) const {
    if (!cameraOf(shape(), ReturnStatus)) return MVector();
    const MVector local(0.0, 0.0, -1.0);
    return space == MSpace::kWorld ? (local * worldMatrix(shape().standinNode())).normal() : local;
}
MVector MFnCamera::upDirection(MSpace::Space space, MStatus* ReturnStatus) const {
    if (!cameraOf(shape(), ReturnStatus)) return MVector();
    const MVector local(0.0, 1.0, 0.0);
    return space == MSpace::kWorld ? (local * worldMatrix(shape().standinNode())).normal() : local;
}
double MFnCamera::focalLength(MStatus* ReturnStatus) const {
    const CameraData* cam = cameraOf(shape(), ReturnStatus);
    return cam ? cam->focalLength : 0.0;
}
double MFnCamera::nearClippingPlane(MStatus* ReturnStatus) const {
    const CameraData* cam = cameraOf(shape(), ReturnStatus);
    return cam ? cam->nearClip : 0.0;
}
double MFnCamera::farClippingPlane(MStatus* ReturnStatus) const {
    const CameraData* cam = cameraOf(shape(), ReturnStatus);
    return cam ? cam->farClip : 0.0;
}
double MFnCamera::aspectRatio(MStatus* ReturnStatus) const {
    const CameraData* cam = cameraOf(shape(), ReturnStatus);
    return cam ? cam->aspect : 0.0;
}
double MFnCamera::horizontalFilmAperture(MStatus* ReturnStatus) const {
    return cameraOf(shape(), ReturnStatus) ? kFilmWidthMm / kMmPerInch : 0.0;
}
double MFnCamera::verticalFilmAperture(MStatus* ReturnStatus) const {
    const CameraData* cam = cameraOf(shape(), ReturnStatus);
    return cam ? kFilmWidthMm / cam->aspect / kMmPerInch : 0.0;
}
double MFnCamera::horizontalFieldOfView(MStatus* ReturnStatus) const {
    const CameraData* cam = cameraOf(shape(), ReturnStatus);
    return cam ? 2.0 * std::atan(0.5 * kFilmWidthMm / cam->focalLength) : 0.0;
}
double MFnCamera::verticalFieldOfView(MStatus* ReturnStatus) const {
    const CameraData* cam = cameraOf(shape(), ReturnStatus);
    return cam ? 2.0 * std::atan(0.5 * kFilmWidthMm / cam->aspect / cam->focalLength) : 0.0;
}
bool MFnCamera::isOrtho(MStatus* ReturnStatus) const {
    cameraOf(shape(), ReturnStatus);
    return false;
}
