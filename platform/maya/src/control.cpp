// Control of the runtime from maya_standin: scene building, failure injection
// and the records that tests read.
#include "control.h"

#include "mesh_data.h"
#include "runtime.h"

#include <cmath>
#include <stdexcept>

namespace maya_runtime {
namespace control {

namespace {

// Every operation whose status a caller can read, by "Class::method".
const char* const kFailable[] = {
    "MRenderView::startRender",
    "MRenderView::startRegionRender",
    "MRenderView::updatePixels",
    "MRenderView::refresh",
    "MRenderView::endRender",
    "MRenderView::setCurrentCamera",
    "MGlobal::getActiveSelectionList",
    "MSelectionList::add",
    "MSelectionList::getDagPath",
    "MDagPath::extendToShape",
    "M3dView::active3dView",
    "M3dView::getCamera",
    "MFnCamera::projectionMatrix",
    "MItMeshVertex::position",
    "MItMeshVertex::getNormal",
    "MItMeshVertex::getConnectedVertices",
    "MFnMesh::allIntersections",
    "MFnMesh::deleteColorSet",
    "MFnMesh::createColorSet",
    "MFnMesh::setCurrentColorSetName",
    "MFnMesh::setVertexColors",
};

[[noreturn]] void refuse(const std::string& text) { throw std::invalid_argument(text); }

unsigned nodeNamed(const std::string& name) {
    const Scene& scene = state().scene;
    auto it = scene.byName.find(name);
    if (it == scene.byName.end()) refuse("no object named '" + name + "'");
    return it->second;
}

MeshData& meshNamed(const std::string& name) {
    const int shape = shapeOf(nodeNamed(name), NodeKind::Mesh);
    if (shape < 0) refuse("'" + name + "' is not a mesh");
    return *state().scene.nodes[size_t(shape)].mesh;
}

void checkNewName(const std::string& name) {
    if (name.empty() || name.find('|') != std::string::npos)
        refuse("an object name must be non-empty and hold no '|'");
    if (state().scene.byName.count(name)) refuse("an object named '" + name + "' exists already");
}

void checkFinite(const double* v, int n, const char* what) {
    for (int i = 0; i < n; ++i)
        if (!std::isfinite(v[i])) refuse(std::string(what) + " must be finite");
}

unsigned addNode(const std::string& name, NodeKind kind, int parent) {
    Scene& scene = state().scene;
    const unsigned id = static_cast<unsigned>(scene.nodes.size());
    scene.nodes.emplace_back();
    Node& node = scene.nodes.back();
    node.name = name;
    node.kind = kind;
    node.parent = parent;
    if (parent >= 0) scene.nodes[size_t(parent)].children.push_back(id);
    scene.byName.emplace(name, id);
    ++scene.editVersion;
    return id;
}

unsigned addTransform(const std::string& name, const Placement& placement) {
    checkFinite(placement.translate, 3, "translate");
    checkFinite(placement.rotate, 3, "rotate");
    const unsigned id = addNode(name, NodeKind::Transform, -1);
    Node& node = state().scene.nodes[id];
    for (int i = 0; i < 3; ++i) {
        node.translate[i] = placement.translate[i];
        node.rotate[i] = placement.rotate[i];
    }
    return id;
}

std::vector<double> checkedPoints(const std::vector<double>& points) {
    if (points.size() % 3) refuse("points must hold 3 coordinates per vertex");
    checkFinite(points.data(), static_cast<int>(points.size()), "points");
    if (points.size() / 3 > 0x7fffffff) refuse("too many points");
    return points;
}

}  // namespace

void reset() {
    State& s = state();
    const unsigned generation = s.scene.generation + 1;
    s.scene = Scene();
    s.scene.generation = generation;
    s.infos.clear();
    s.warnings.clear();
    s.errors.clear();
    s.failures.clear();
    s.renderView = RenderViewState();
}

void fail(const std::string& operation, const std::string& text) {
    for (const char* name : kFailable)
        if (operation == name) {
            state().failures[operation] = text;
            return;
        }
    refuse("no operation '" + operation + "' can be made to fail");
}

std::vector<std::string> failableOperations() { return {std::begin(kFailable), std::end(kFailable)}; }

const std::vector<std::string>& infos() { return state().infos; }
const std::vector<std::string>& warnings() { return state().warnings; }
const std::vector<std::string>& errors() { return state().errors; }

void setRenderViewAvailable(bool available) { state().renderView.available = available; }
const std::vector<RenderViewCall>& renderViewCalls() { return state().renderView.calls; }

bool renderViewImage(unsigned& width, unsigned& height, const float*& pixels) {
    const RenderViewState& rv = state().renderView;
    width = rv.width;
    height = rv.height;
    pixels = rv.pixels.data();
    return rv.hasImage;
}

void createTransform(const std::string& name, const Placement& placement) {
    checkNewName(name);
    addTransform(name, placement);
}

void createCamera(const std::string& name, const Placement& placement, double focalLength, double nearClip,
                  double farClip, double aspect) {
    const std::string shapeName = name + "Shape";
    checkNewName(name);
    checkNewName(shapeName);
    if (!(focalLength > 0.0) || !(aspect > 0.0) || !(nearClip > 0.0) || !(farClip > nearClip) ||
        !std::isfinite(focalLength) || !std::isfinite(aspect) || !std::isfinite(farClip))
        refuse("a camera needs focal_length > 0, aspect > 0 and 0 < near < far");
    const unsigned transform = addTransform(name, placement);
    const unsigned shape = addNode(shapeName, NodeKind::Camera, static_cast<int>(transform));
    CameraData& cam = state().scene.nodes[shape].camera;
    cam.focalLength = focalLength;
    cam.nearClip = nearClip;
    cam.farClip = farClip;
    cam.aspect = aspect;
}

void createMesh(const std::string& name, const std::vector<double>& points,
                const std::vector<std::vector<int>>& faces, const Placement& placement) {
    const std::string shapeName = name + "Shape";
    checkNewName(name);
    checkNewName(shapeName);
    std::vector<double> pts = checkedPoints(points);
    const long long vertexCount = static_cast<long long>(pts.size() / 3);
    std::vector<int> faceStart{0}, faceVerts;
    faceStart.reserve(faces.size() + 1);
    for (const auto& face : faces) {
        if (face.size() < 3) refuse("a face needs at least 3 vertices");
        for (int v : face)
            if (v < 0 || v >= vertexCount) refuse("a face names a vertex that does not exist");
        faceVerts.insert(faceVerts.end(), face.begin(), face.end());
        if (faceVerts.size() > 0x7fffffff) refuse("too many face vertices");
        faceStart.push_back(static_cast<int>(faceVerts.size()));
    }
    const unsigned transform = addTransform(name, placement);
    const unsigned shape = addNode(shapeName, NodeKind::Mesh, static_cast<int>(transform));
    state().scene.nodes[shape].mesh =
        std::make_unique<MeshData>(std::move(pts), std::move(faceStart), std::move(faceVerts));
}

void setPoints(const std::string& mesh, const std::vector<double>& points) {
    MeshData& data = meshNamed(mesh);
    std::vector<double> pts = checkedPoints(points);
    if (pts.size() / 3 != size_t(data.numVertices())) refuse("the vertex count must stay the same");
    data.setPoints(std::move(pts));
    ++state().scene.editVersion;
}

void setPlacement(const std::string& name, const Placement& placement) {
    Node& node = state().scene.nodes[nodeNamed(name)];
    if (node.kind != NodeKind::Transform) refuse("'" + name + "' is not a transform");
    checkFinite(placement.translate, 3, "translate");
    checkFinite(placement.rotate, 3, "rotate");
    for (int i = 0; i < 3; ++i) {
        node.translate[i] = placement.translate[i];
        node.rotate[i] = placement.rotate[i];
    }
    ++state().scene.editVersion;
}

void select(const std::vector<std::string>& names) {
    std::vector<unsigned> selection;
    for (const std::string& name : names) selection.push_back(nodeNamed(name));
    state().scene.selection = std::move(selection);
}

void setActiveCamera(const std::optional<std::string>& camera) {
    if (!camera) {
        state().scene.activeCameraShape = -1;
        return;
    }
    const int shape = shapeOf(nodeNamed(*camera), NodeKind::Camera);
    if (shape < 0) refuse("'" + *camera + "' is not a camera");
    state().scene.activeCameraShape = shape;
}

std::vector<std::string> colorSets(const std::string& mesh) {
    std::vector<std::string> names;
    for (const ColorSet& set : meshNamed(mesh).colorSets) names.push_back(set.name);
    return names;
}

std::optional<std::string> currentColorSet(const std::string& mesh) {
    const MeshData& data = meshNamed(mesh);
    if (data.currentColorSet < 0) return std::nullopt;
    return data.colorSets[size_t(data.currentColorSet)].name;
}

std::vector<float> vertexColors(const std::string& mesh, const std::string& colorSet) {
    for (const ColorSet& set : meshNamed(mesh).colorSets)
        if (set.name == colorSet) return set.rgba;
    refuse("'" + mesh + "' has no colour set named '" + colorSet + "'");
}

unsigned accelBuilds(const std::string& mesh) { return meshNamed(mesh).bvhBuilds(); }

}  // namespace control
}  // namespace maya_runtime
