// Shared state of the runtime: messages, failure injection, the Render View and
// the scene. Every API class reaches the state through state(). The state lives
// in the OpenMaya library; OpenMayaUI and OpenMayaRender reach it through the
// functions below marked MAYA_RUNTIME_EXPORT.
#pragma once

#include "control.h"
#include "mesh_data.h"

#include <maya/MMatrix.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

// Exported from OpenMaya for the runtime's other libraries; not API.
#define MAYA_RUNTIME_EXPORT __attribute__((visibility("default")))

namespace maya_runtime {

enum class NodeKind { Transform, Camera, Mesh };

struct CameraData {
    double focalLength = 35.0;  // mm
    double nearClip = 0.1;
    double farClip = 10000.0;
    double aspect = 1.5;  // film back width / height
};

struct Node {
    std::string name;
    NodeKind kind = NodeKind::Transform;
    int parent = -1;
    std::vector<unsigned> children;
    double translate[3] = {0.0, 0.0, 0.0};
    double rotate[3] = {0.0, 0.0, 0.0};  // degrees, applied in the order x, y, z
    CameraData camera;
    std::unique_ptr<MeshData> mesh;
};

struct RenderViewState {
    bool available = true;
    std::vector<RenderViewCall> calls;
    unsigned width = 0, height = 0;
    std::vector<float> pixels;  // width * height RGBA, row 0 at the bottom
    bool hasImage = false;
};

struct Scene {
    // Handles carry the generation they were made in; reset() moves it on, so
    // handles of an earlier scene become null.
    unsigned generation = 1;
    // Moves on with every edit of a transform or of mesh geometry, so cached
    // world matrices know when to be rebuilt.
    unsigned editVersion = 1;
    std::vector<Node> nodes;
    std::unordered_map<std::string, unsigned> byName;
    std::vector<unsigned> selection;
    int activeCameraShape = -1;
};

struct State {
    std::vector<std::string> infos, warnings, errors;
    std::map<std::string, std::string> failures;
    RenderViewState renderView;
    Scene scene;
};

MAYA_RUNTIME_EXPORT State& state();

// A failure injected for the operation "Class::method": true, with the failed
// status in *status, until reset.
MAYA_RUNTIME_EXPORT bool injectedFailure(const char* operation, MStatus* status);

// The live node a handle refers to, or null.
MAYA_RUNTIME_EXPORT Node* resolve(const MObject& object);
MAYA_RUNTIME_EXPORT MObject handle(unsigned node);
// The shape a function set made on this node acts on: the node itself when it
// has the kind wanted, else the one child of that kind below a transform.
MAYA_RUNTIME_EXPORT int shapeOf(unsigned node, NodeKind wanted);

// Matrices for row vectors.
MMatrix localMatrix(const Node& node);
MMatrix worldMatrix(unsigned node);

// Sets *out (when given) and returns the status.
inline MStatus report(MStatus* out, const MStatus& status) {
    if (out) *out = status;
    return status;
}

}  // namespace maya_runtime
