// Times the stand-in's mesh queries at the size of the orvalis benchmark: a
// sphere of about 1,000,000 vertices and 2,000,000 triangles, walked the way a
// camera mask walks it (position, normal, one ray per front-facing vertex,
// neighbour sweeps).
#include "control.h"

#include <maya/MColorArray.h>
#include <maya/MDagPath.h>
#include <maya/MFnMesh.h>
#include <maya/MItMeshVertex.h>
#include <maya/MSelectionList.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace ctl = maya_runtime::control;

namespace {

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Latitude-longitude sphere: `rings` rows of quads, triangles at the poles.
void makeSphere(int rings, int segments, std::vector<double>& points, std::vector<std::vector<int>>& faces) {
    points = {0.0, 1.0, 0.0};
    for (int r = 1; r < rings; ++r) {
        const double theta = M_PI * r / rings;
        for (int s = 0; s < segments; ++s) {
            const double phi = 2.0 * M_PI * s / segments;
            points.insert(points.end(), {std::sin(theta) * std::cos(phi), std::cos(theta),
                                         -std::sin(theta) * std::sin(phi)});
        }
    }
    points.insert(points.end(), {0.0, -1.0, 0.0});
    const int bottom = static_cast<int>(points.size() / 3) - 1;
    auto at = [&](int r, int s) { return 1 + (r - 1) * segments + (s % segments); };
    for (int s = 0; s < segments; ++s) faces.push_back({0, at(1, s), at(1, s + 1)});
    for (int r = 1; r < rings - 1; ++r)
        for (int s = 0; s < segments; ++s)
            faces.push_back({at(r, s), at(r + 1, s), at(r + 1, s + 1), at(r, s + 1)});
    for (int s = 0; s < segments; ++s) faces.push_back({at(rings - 1, s), bottom, at(rings - 1, s + 1)});
}

}  // namespace

int main(int argc, char** argv) {
    const int rings = argc > 1 ? std::atoi(argv[1]) : 1000;
    std::vector<double> points;
    std::vector<std::vector<int>> faces;
    makeSphere(rings, rings, points, faces);
    ctl::reset();
    auto t0 = std::chrono::steady_clock::now();
    ctl::createMesh("sphere", points, faces, {});
    const double tCreate = seconds(t0);

    MSelectionList list;
    list.add("sphere");
    MDagPath path;
    list.getDagPath(0, path);
    MFnMesh mesh(path);
    MItMeshVertex it(path);
    const MPoint camera(0.0, 0.0, 5.0);

    t0 = std::chrono::steady_clock::now();
    MVector n;
    it.getNormal(n, MSpace::kWorld);  // builds the adjacency and normals
    const double tTopology = seconds(t0);

    MMeshIsectAccelParams accel = MFnMesh::autoUniformGridParams();
    t0 = std::chrono::steady_clock::now();
    {
        MFloatPointArray hits;
        mesh.allIntersections(MFloatPoint(0.0f, 0.0f, 5.0f), MFloatVector(0.0f, 0.0f, -1.0f), nullptr, nullptr,
                              false, MSpace::kWorld, 1000.0f, false, &accel, false, hits, nullptr, nullptr,
                              nullptr, nullptr, nullptr, 1e-6f, nullptr);
    }
    const double tBvh = seconds(t0);

    MColorArray colors;
    MIntArray ids;
    long rays = 0, hidden = 0;
    double tRays = 0.0;
    t0 = std::chrono::steady_clock::now();
    for (it.reset(); !it.isDone(); it.next()) {
        const MPoint p = it.position(MSpace::kWorld);
        MVector normal(0.0, 0.0, 0.0);
        it.getNormal(normal, MSpace::kWorld);
        MVector v = camera - p;
        v.normalize();
        bool visible = v * normal >= 0.0;
        if (visible) {
            const auto r0 = std::chrono::steady_clock::now();
            const MFloatVector dir(camera - p);
            const MFloatPoint origin(p + normal * 0.01f);
            MFloatPointArray hitPoints;
            MIntArray hitFaces;
            visible = !mesh.allIntersections(origin, dir, nullptr, nullptr, false, MSpace::kWorld, 1000.0f,
                                             false, &accel, false, hitPoints, nullptr, &hitFaces, nullptr,
                                             nullptr, nullptr, 1e-6f, nullptr);
            tRays += seconds(r0);
            ++rays;
        }
        hidden += !visible;
        ids.append(it.index());
        colors.append(visible ? MColor(1.0f, 1.0f, 1.0f, 1.0f) : MColor(0.0f, 0.0f, 0.0f, 1.0f));
    }
    const double tLoop = seconds(t0);

    t0 = std::chrono::steady_clock::now();
    for (int sweep = 0; sweep < 10; ++sweep)
        for (it.reset(); !it.isDone(); it.next()) {
            MColor c = colors[static_cast<unsigned>(it.index())];
            if (c.r <= 0.01) continue;
            MIntArray around;
            it.getConnectedVertices(around);
            for (unsigned k = 0; k < around.length(); ++k) c += colors[static_cast<unsigned>(around[k])];
            const float d = static_cast<float>(around.length() + 1);
            colors[static_cast<unsigned>(it.index())] = MColor(c.r / d, c.g / d, c.b / d, 1.0f);
        }
    const double tSmooth = seconds(t0);

    std::printf("vertices %d, triangles %ld\n", mesh.numVertices(), static_cast<long>(faces.size()) * 2 - 2 * rings);
    std::printf("create mesh       %.3f s\n", tCreate);
    std::printf("adjacency+normals %.3f s\n", tTopology);
    std::printf("BVH build         %.3f s\n", tBvh);
    std::printf("vertex loop       %.3f s (%ld rays, %.0f ns per ray, %ld hidden)\n", tLoop, rays,
                rays ? 1e9 * tRays / rays : 0.0, hidden);
    std::printf("10 sweeps         %.3f s\n", tSmooth);
    return 0;
}
