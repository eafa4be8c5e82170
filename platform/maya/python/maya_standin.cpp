// maya_standin: builds scenes for the Maya stand-in runtime, injects failures
// and reads what the runtime recorded. It shares the runtime's state with every
// other user of libOpenMaya in the process.
#include "control.h"
#include "runtime.h"

#include <maya/MFloatMatrix.h>
#include <maya/MFnCamera.h>
#include <maya/MFnMesh.h>
#include <maya/MItMeshVertex.h>
#include <maya/MSelectionList.h>

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <array>
#include <cstring>

namespace py = pybind11;
namespace ctl = maya_runtime::control;
using Triple = std::array<double, 3>;

namespace {

ctl::Placement placement(const Triple& translate, const Triple& rotate) {
    ctl::Placement p;
    std::copy(translate.begin(), translate.end(), p.translate);
    std::copy(rotate.begin(), rotate.end(), p.rotate);
    return p;
}

std::vector<double> pointsOf(const py::handle& points) {
    auto array = py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(points);
    if (!array) throw py::value_error("points must be a sequence of (x, y, z) triples");
    if (array.size() > 0 && (array.ndim() != 2 || array.shape(1) != 3))
        throw py::value_error("points must have shape (N, 3)");
    return std::vector<double>(array.data(), array.data() + array.size());
}

MDagPath pathOf(const std::string& name) {
    MSelectionList list;
    MDagPath path;
    if (!list.add(MString(name.c_str())) || !list.getDagPath(0, path))
        throw py::value_error("no object named '" + name + "'");
    return path;
}

template <class T>
py::array_t<T> matrixArray(const T m[4][4]) {
    py::array_t<T> out({4, 4});
    std::memcpy(out.mutable_data(), m, sizeof(T) * 16);
    return out;
}

py::object argValue(const maya_runtime::RenderViewArg& arg) {
    switch (arg.kind) {
    case maya_runtime::RenderViewArg::Int: return py::int_(arg.value);
    case maya_runtime::RenderViewArg::Bool: return py::bool_(arg.value != 0);
    case maya_runtime::RenderViewArg::None: break;
    }
    return py::none();
}

py::list renderViewCalls() {
    py::list calls;
    for (const auto& call : ctl::renderViewCalls()) {
        py::tuple args(call.args.size());
        for (size_t i = 0; i < call.args.size(); ++i) args[i] = argValue(call.args[i]);
        calls.append(py::make_tuple(call.operation, args));
    }
    return calls;
}

py::object renderViewImage() {
    unsigned width = 0, height = 0;
    const float* pixels = nullptr;
    if (!ctl::renderViewImage(width, height, pixels)) return py::none();
    py::array_t<float> image({size_t(height), size_t(width), size_t(4)});
    std::memcpy(image.mutable_data(), pixels, sizeof(float) * 4 * width * height);
    return std::move(image);
}

py::array_t<float> vertexColors(const std::string& mesh, const std::string& set) {
    const std::vector<float> rgba = ctl::vertexColors(mesh, set);
    py::array_t<float> out({rgba.size() / 4, size_t(4)});
    if (!rgba.empty())  // an empty vector's data() may be null, which memcpy must not see
        std::memcpy(out.mutable_data(), rgba.data(), sizeof(float) * rgba.size());
    return out;
}

// The vertices as MItMeshVertex gives them, in world space.
py::dict vertices(const std::string& name) {
    MItMeshVertex it(pathOf(name));
    const int n = it.count();
    py::array_t<double> positions({size_t(n), size_t(3)}), normals({size_t(n), size_t(3)});
    py::list indices, connected;
    double* p = positions.mutable_data();
    double* nn = normals.mutable_data();
    for (; !it.isDone(); it.next()) {
        const MPoint pos = it.position(MSpace::kWorld);
        MVector normal;
        it.getNormal(normal, MSpace::kWorld);
        const size_t i = size_t(it.index()) * 3;
        p[i] = pos.x, p[i + 1] = pos.y, p[i + 2] = pos.z;
        nn[i] = normal.x, nn[i + 1] = normal.y, nn[i + 2] = normal.z;
        MIntArray around;
        it.getConnectedVertices(around);
        indices.append(it.index());
        connected.append(std::vector<int>(around.data(), around.data() + around.length()));
    }
    py::dict out;
    out["index"] = indices;
    out["position"] = positions;
    out["normal"] = normals;
    out["connected"] = connected;
    return out;
}

// One MFnMesh::allIntersections query; hits as (t, face, triangle, point, bary1, bary2).
py::object intersect(const std::string& name, const Triple& source, const Triple& direction, float maxParam,
                     bool both, bool accelerated, bool sortHits, float tolerance, bool world,
                     py::object faces) {
    MFnMesh mesh(pathOf(name));
    MMeshIsectAccelParams accel = MFnMesh::autoUniformGridParams();
    MIntArray faceIds;
    if (!faces.is_none())
        for (int f : faces.cast<std::vector<int>>()) faceIds.append(f);
    MFloatPointArray points;
    MFloatArray params, bary1, bary2;
    MIntArray hitFaces, hitTriangles;
    MStatus status;
    const bool hit = mesh.allIntersections(
        MFloatPoint(source[0], source[1], source[2]), MFloatVector(direction[0], direction[1], direction[2]),
        faces.is_none() ? nullptr : &faceIds, nullptr, false, world ? MSpace::kWorld : MSpace::kObject,
        maxParam, both, accelerated ? &accel : nullptr, sortHits, points, &params, &hitFaces, &hitTriangles,
        &bary1, &bary2, tolerance, &status);
    if (!status) throw py::value_error(status.errorString().asChar());
    py::list hits;
    for (unsigned i = 0; i < points.length(); ++i)
        hits.append(py::make_tuple(params[i], hitFaces[i], hitTriangles[i],
                                   py::make_tuple(points[i].x, points[i].y, points[i].z), bary1[i], bary2[i]));
    if (hit != (points.length() > 0)) throw std::logic_error("allIntersections result and hits disagree");
    return std::move(hits);
}

}  // namespace

PYBIND11_MODULE(maya_standin, m) {
    m.doc() = "Scene control of the Maya stand-in runtime, for tests and the demo.";
    py::register_exception_translator([](std::exception_ptr p) {
        try {
            if (p) std::rethrow_exception(p);
        } catch (const std::invalid_argument& e) {
            PyErr_SetString(PyExc_ValueError, e.what());
        }
    });

    m.def("reset", &ctl::reset,
          "Empty scene, no selection, no active camera, no records, no failures, a Render View.");
    m.def("fail", &ctl::fail, py::arg("operation"), py::arg("text"),
          "Makes 'Class::method' return kFailure with this error text until reset().");
    m.def("failable_operations", &ctl::failableOperations);
    m.def("warnings", &ctl::warnings);
    m.def("infos", &ctl::infos);
    m.def("errors", &ctl::errors);

    m.def("set_render_view_available", &ctl::setRenderViewAvailable, py::arg("available"),
          "Without a Render View every MRenderView call returns kFailure (calls are still recorded).");
    m.def("render_view_calls", &renderViewCalls,
          "[(operation, args), ...]: operation as 'MRenderView::updatePixels'; pointers show as None "
          "when null (updatePixels: left, right, bottom, top, isHdr, numberOfAovs, aovs).");
    m.def("render_view_image", &renderViewImage,
          "float32 (height, width, 4), row 0 at the bottom; None before any image.");

    const Triple zero{0.0, 0.0, 0.0};
    m.def("create_transform",
          [](const std::string& name, const Triple& t, const Triple& r) {
              ctl::createTransform(name, placement(t, r));
          },
          py::arg("name"), py::arg("translate") = zero, py::arg("rotate") = zero,
          "A transform with no shape below it.");
    m.def("create_camera",
          [](const std::string& name, const Triple& t, const Triple& r, double focal, double nearClip,
             double farClip, double aspect) {
              ctl::createCamera(name, placement(t, r), focal, nearClip, farClip, aspect);
          },
          py::arg("name"), py::arg("translate") = zero, py::arg("rotate") = zero,
          py::arg("focal_length") = 35.0, py::arg("near") = 0.1, py::arg("far") = 10000.0,
          py::arg("aspect") = 1.5,
          "Transform NAME with camera shape NAMEShape, looking down -Z; film back 36 mm wide.");
    m.def("create_mesh",
          [](const std::string& name, py::handle points, const std::vector<std::vector<int>>& faces,
             const Triple& t, const Triple& r) { ctl::createMesh(name, pointsOf(points), faces, placement(t, r)); },
          py::arg("name"), py::arg("points"), py::arg("faces"), py::arg("translate") = zero,
          py::arg("rotate") = zero, "Transform NAME with mesh shape NAMEShape.");
    m.def("set_points", [](const std::string& name, py::handle points) { ctl::setPoints(name, pointsOf(points)); },
          py::arg("mesh"), py::arg("points"), "Moves the mesh's vertices; its cached data is rebuilt.");
    m.def("set_transform",
          [](const std::string& name, const Triple& t, const Triple& r) { ctl::setPlacement(name, placement(t, r)); },
          py::arg("name"), py::arg("translate") = zero, py::arg("rotate") = zero);
    m.def("select", &ctl::select, py::arg("names"));
    m.def("set_active_camera", &ctl::setActiveCamera, py::arg("camera"),
          "The active view's camera (transform or shape name), or None for no active view.");

    m.def("color_sets", &ctl::colorSets, py::arg("mesh"));
    m.def("current_color_set", &ctl::currentColorSet, py::arg("mesh"));
    m.def("vertex_colors", &vertexColors, py::arg("mesh"), py::arg("color_set"),
          "float32 (N, 4); -1 in every channel of a vertex never coloured.");
    m.def("accel_builds", &ctl::accelBuilds, py::arg("mesh"),
          "How many times the mesh's ray acceleration structure has been built.");

    m.def("world_matrix",
          [](const std::string& name) {
              double d[4][4];
              pathOf(name).inclusiveMatrix().get(d);
              return matrixArray(d);
          },
          py::arg("name"), "MDagPath::inclusiveMatrix, float64 (4, 4), for row vectors.");
    m.def("projection_matrix",
          [](const std::string& name) {
              MStatus status;
              MFnCamera camera(pathOf(name));
              const MFloatMatrix p = camera.projectionMatrix(&status);
              if (!status) throw py::value_error(status.errorString().asChar());
              float f[4][4];
              p.get(f);
              return matrixArray(f);
          },
          py::arg("camera"), "MFnCamera::projectionMatrix, float32 (4, 4), for row vectors.");
    m.def("vertices", &vertices, py::arg("mesh"),
          "MItMeshVertex over the mesh: dict of index, position and normal (world), connected.");
    m.def("intersect", &intersect, py::arg("mesh"), py::arg("source"), py::arg("direction"),
          py::arg("max_param") = 1000.0f, py::arg("both_directions") = false, py::arg("accelerated") = true,
          py::arg("sort_hits") = true, py::arg("tolerance") = 1e-6f, py::arg("world") = true,
          py::arg("faces") = py::none(),
          "MFnMesh::allIntersections: [(t, face, triangle, (x, y, z), bary1, bary2), ...].");
}
