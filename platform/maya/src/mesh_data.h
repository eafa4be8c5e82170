// Geometry of a mesh shape and what is derived from it once per edit: the
// vertex adjacency and normals, and the ray acceleration structure.
#pragma once

#include <maya/MStandinArray.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace maya_runtime {

// Vectors of mesh size live in huge-page blocks.
template <class T>
using BigVector = std::vector<T, Autodesk::Maya::OpenMaya20220000::standin::BlockAllocator<T>>;

// Vertex neighbourhoods in compressed rows: the items of vertex v are
// items[start[v] .. start[v + 1]).
struct Rows {
    BigVector<int> start;
    BigVector<int> items;
    int count(int v) const { return start[v + 1] - start[v]; }
    const int* begin(int v) const { return items.data() + start[v]; }
};

struct Topology {
    Rows neighbours;          // vertices joined by an edge, ascending
    Rows faces;               // faces using the vertex, ascending
    BigVector<double> normals;  // object-space unit normal, 3 per vertex
};

// One triangle of the fan of a face, ready for the ray test.
struct PackedTriangle {
    float v0[3];
    float e1[3];  // v1 - v0
    float e2[3];  // v2 - v0
    int face;
    int local;    // triangle number within its face
};

class Bvh;

struct ColorSet {
    std::string name;
    std::vector<float> rgba;  // 4 per vertex; -1 for a vertex never coloured
};

class MeshData {
public:
    MeshData(std::vector<double> points, std::vector<int> faceStart, std::vector<int> faceVerts);
    ~MeshData();

    int numVertices() const { return static_cast<int>(points_.size() / 3); }
    int numFaces() const { return static_cast<int>(faceStart_.size()) - 1; }
    int numTriangles() const { return numTriangles_; }
    const double* point(int v) const { return &points_[size_t(v) * 3]; }
    const int* faceBegin(int f) const { return faceVerts_.data() + faceStart_[f]; }
    int faceSize(int f) const { return faceStart_[f + 1] - faceStart_[f]; }
    // First fan triangle of face f in the mesh-wide triangle numbering.
    int firstTriangle(int f) const { return firstTriangle_[f]; }

    // Replaces the vertex positions (same count); drops the derived data.
    void setPoints(std::vector<double> points);
    // Moves on with every geometry edit.
    unsigned version() const { return version_; }

    const Topology& topology();
    const Bvh& bvh();
    unsigned bvhBuilds() const { return bvhBuilds_; }
    void freeBvh();
    bool hasBvh() const { return bvh_ != nullptr; }

    PackedTriangle packTriangle(int face, int local) const;

    std::vector<ColorSet> colorSets;
    int currentColorSet = -1;

private:
    std::vector<double> points_;
    std::vector<int> faceStart_;
    std::vector<int> faceVerts_;
    std::vector<int> firstTriangle_;
    int numTriangles_ = 0;
    unsigned version_ = 1;
    std::unique_ptr<Topology> topology_;
    std::unique_ptr<Bvh> bvh_;
    unsigned bvhBuilds_ = 0;
};

// A ray in the mesh's object space, with its parameter range.
struct Ray {
    float origin[3];
    float dir[3];
    float tMin, tMax;
    float tolerance;
};

struct Hit {
    float t, u, v;
    int face, local;
};

// Möller-Trumbore with the barycentric bounds widened by the ray's tolerance.
bool intersectTriangle(const Ray& ray, const PackedTriangle& tri, Hit& hit);

struct BvhNode {
    float lo[3];
    uint32_t first;  // leaf: first triangle; inner: left child (right = first + 1)
    float hi[3];
    uint32_t count;  // leaf: triangle count; inner: 0
};

class Bvh {
public:
    explicit Bvh(const MeshData& mesh);
    // Appends every hit of the ray; stops after the first when firstOnly.
    void intersect(const Ray& ray, std::vector<Hit>& hits, bool firstOnly = false) const;
    size_t nodeCount() const { return nodes_.size(); }

private:
    BigVector<BvhNode> nodes_;
    BigVector<PackedTriangle> triangles_;  // in leaf order
    float maxExtent_ = 0.0f;               // of any one triangle, along any axis
};

}  // namespace maya_runtime
