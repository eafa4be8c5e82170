// Control of the runtime for the maya_standin Python module: scene building,
// failure injection and the records tests read. Names are checked; a bad
// argument throws std::invalid_argument.
#pragma once

#include <maya/MTypes.h>

#include <optional>
#include <string>
#include <vector>

namespace maya_runtime {

// One recorded Render View call: the operation and its value arguments.
struct RenderViewArg {
    enum Kind { Int, Bool, None } kind;
    long long value;
};
struct RenderViewCall {
    std::string operation;
    std::vector<RenderViewArg> args;
};


namespace control {

OPENMAYA_EXPORT void reset();
OPENMAYA_EXPORT void fail(const std::string& operation, const std::string& text);
OPENMAYA_EXPORT std::vector<std::string> failableOperations();

OPENMAYA_EXPORT const std::vector<std::string>& infos();
OPENMAYA_EXPORT const std::vector<std::string>& warnings();
OPENMAYA_EXPORT const std::vector<std::string>& errors();

OPENMAYA_EXPORT void setRenderViewAvailable(bool available);
OPENMAYA_EXPORT const std::vector<RenderViewCall>& renderViewCalls();
// False when the Render View has shown no image since reset.
OPENMAYA_EXPORT bool renderViewImage(unsigned& width, unsigned& height,
                                     const float*& pixels);

struct Placement {
    double translate[3] = {0.0, 0.0, 0.0};
    double rotate[3] = {0.0, 0.0, 0.0};
};

OPENMAYA_EXPORT void createTransform(const std::string& name, const Placement& placement);
OPENMAYA_EXPORT void createCamera(const std::string& name, const Placement& placement,
                                  double focalLength, double nearClip, double farClip,
                                  double aspect);
// points: 3 per vertex; faces: vertex indices, at least 3 per face.
OPENMAYA_EXPORT void createMesh(const std::string& name, const std::vector<double>& points,
                                const std::vector<std::vector<int>>& faces,
                                const Placement& placement);
OPENMAYA_EXPORT void setPoints(const std::string& mesh, const std::vector<double>& points);
OPENMAYA_EXPORT void setPlacement(const std::string& node, const Placement& placement);

OPENMAYA_EXPORT void select(const std::vector<std::string>& names);
OPENMAYA_EXPORT void setActiveCamera(const std::optional<std::string>& camera);

OPENMAYA_EXPORT std::vector<std::string> colorSets(const std::string& mesh);
OPENMAYA_EXPORT std::optional<std::string> currentColorSet(const std::string& mesh);
// 4 floats per vertex; (-1, -1, -1, -1) for a vertex never given a colour.
OPENMAYA_EXPORT std::vector<float> vertexColors(const std::string& mesh,
                                                const std::string& colorSet);
// How many times the mesh's ray acceleration structure has been built.
OPENMAYA_EXPORT unsigned accelBuilds(const std::string& mesh);

}  // namespace control
}  // namespace maya_runtime
