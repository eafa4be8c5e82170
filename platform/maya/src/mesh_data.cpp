// Mesh geometry, its derived topology and the bounding-volume hierarchy of its
// triangles for ray queries.
#include "mesh_data.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>

namespace maya_runtime {

MeshData::MeshData(std::vector<double> points, std::vector<int> faceStart, std::vector<int> faceVerts)
    : points_(std::move(points)), faceStart_(std::move(faceStart)), faceVerts_(std::move(faceVerts)) {
    firstTriangle_.resize(faceStart_.size());
    int t = 0;
    for (int f = 0; f < numFaces(); ++f) {
        firstTriangle_[f] = t;
        t += faceSize(f) - 2;
    }
    if (!firstTriangle_.empty()) firstTriangle_.back() = t;
    numTriangles_ = t;
}

MeshData::~MeshData() = default;

void MeshData::setPoints(std::vector<double> points) {
    points_ = std::move(points);
    ++version_;
    topology_.reset();
    bvh_.reset();
}

void MeshData::freeBvh() { bvh_.reset(); }

namespace {

// Fills rows from (vertex, item) pairs produced by visit(emit) in two passes:
// one to count, one to place.
template <class Visit>
Rows buildRows(int vertexCount, Visit visit) {
    Rows rows;
    rows.start.assign(size_t(vertexCount) + 1, 0);
    visit([&](int v, int) { ++rows.start[size_t(v) + 1]; });
    for (int v = 0; v < vertexCount; ++v) rows.start[size_t(v) + 1] += rows.start[v];
    rows.items.resize(size_t(rows.start.back()));
    BigVector<int> fill(rows.start.begin(), rows.start.end() - 1);
    visit([&](int v, int item) { rows.items[size_t(fill[v]++)] = item; });
    return rows;
}

// Sorts each row and drops repeats (an inner edge is met from both its faces).
void sortUnique(Rows& rows) {
    const int n = static_cast<int>(rows.start.size()) - 1;
    int out = 0;
    for (int v = 0; v < n; ++v) {
        int* b = rows.items.data() + rows.start[v];
        int* e = rows.items.data() + rows.start[v + 1];
        std::sort(b, e);
        int* last = std::unique(b, e);
        rows.start[v] = out;
        for (int* p = b; p != last; ++p) rows.items[size_t(out++)] = *p;
    }
    rows.start[n] = out;
    rows.items.resize(size_t(out));
}

}  // namespace

const Topology& MeshData::topology() {
    if (topology_) return *topology_;
    auto topo = std::make_unique<Topology>();
    const int nv = numVertices();
    const int nf = numFaces();

    topo->neighbours = buildRows(nv, [&](auto emit) {
        for (int f = 0; f < nf; ++f) {
            const int* fv = faceBegin(f);
            const int k = faceSize(f);
            for (int i = 0; i < k; ++i) {
                const int a = fv[i], b = fv[(i + 1) % k];
                if (a == b) continue;
                emit(a, b);
                emit(b, a);
            }
        }
    });
    sortUnique(topo->neighbours);

    topo->faces = buildRows(nv, [&](auto emit) {
        for (int f = 0; f < nf; ++f)
            for (int i = 0; i < faceSize(f); ++i) emit(faceBegin(f)[i], f);
    });
    sortUnique(topo->faces);

    // Face normals by Newell's method (sound for any planar polygon, and a
    // fair average for a bent one), normalised, then summed per vertex.
    topo->normals.assign(size_t(nv) * 3, 0.0);
    for (int f = 0; f < nf; ++f) {
        const int* fv = faceBegin(f);
        const int k = faceSize(f);
        double n[3] = {0.0, 0.0, 0.0};
        for (int i = 0; i < k; ++i) {
            const double* a = point(fv[i]);
            const double* b = point(fv[(i + 1) % k]);
            n[0] += (a[1] - b[1]) * (a[2] + b[2]);
            n[1] += (a[2] - b[2]) * (a[0] + b[0]);
            n[2] += (a[0] - b[0]) * (a[1] + b[1]);
        }
        const double len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        if (len == 0.0) continue;  // a degenerate face has no direction to add
        for (int i = 0; i < k; ++i) {
            double* vn = &topo->normals[size_t(fv[i]) * 3];
            vn[0] += n[0] / len;
            vn[1] += n[1] / len;
            vn[2] += n[2] / len;
        }
    }
    for (int v = 0; v < nv; ++v) {
        double* vn = &topo->normals[size_t(v) * 3];
        const double len = std::sqrt(vn[0] * vn[0] + vn[1] * vn[1] + vn[2] * vn[2]);
        if (len > 0.0) {
            vn[0] /= len;
            vn[1] /= len;
            vn[2] /= len;
        }
    }
    topology_ = std::move(topo);
    return *topology_;
}

const Bvh& MeshData::bvh() {
    if (!bvh_) {
        bvh_ = std::make_unique<Bvh>(*this);
        ++bvhBuilds_;
    }
    return *bvh_;
}

PackedTriangle MeshData::packTriangle(int face, int local) const {
    const int* fv = faceBegin(face);
    const double* p0 = point(fv[0]);
    const double* p1 = point(fv[local + 1]);
    const double* p2 = point(fv[local + 2]);
    PackedTriangle t;
    for (int i = 0; i < 3; ++i) {
        const float a = static_cast<float>(p0[i]);
        t.v0[i] = a;
        t.e1[i] = static_cast<float>(p1[i]) - a;
        t.e2[i] = static_cast<float>(p2[i]) - a;
    }
    t.face = face;
    t.local = local;
    return t;
}

bool intersectTriangle(const Ray& ray, const PackedTriangle& tri, Hit& hit) {
    const float* d = ray.dir;
    const float* e1 = tri.e1;
    const float* e2 = tri.e2;
    const float p[3] = {d[1] * e2[2] - d[2] * e2[1], d[2] * e2[0] - d[0] * e2[2],
                        d[0] * e2[1] - d[1] * e2[0]};
    const float det = e1[0] * p[0] + e1[1] * p[1] + e1[2] * p[2];
    if (!(det != 0.0f)) return false;  // parallel to the plane, or not a number
    const float inv = 1.0f / det;
    const float s[3] = {ray.origin[0] - tri.v0[0], ray.origin[1] - tri.v0[1],
                        ray.origin[2] - tri.v0[2]};
    const float u = (s[0] * p[0] + s[1] * p[1] + s[2] * p[2]) * inv;
    const float tol = ray.tolerance;
    if (!(u >= -tol && u <= 1.0f + tol)) return false;
    const float q[3] = {s[1] * e1[2] - s[2] * e1[1], s[2] * e1[0] - s[0] * e1[2],
                        s[0] * e1[1] - s[1] * e1[0]};
    const float v = (d[0] * q[0] + d[1] * q[1] + d[2] * q[2]) * inv;
    if (!(v >= -tol && u + v <= 1.0f + tol)) return false;
    const float t = (e2[0] * q[0] + e2[1] * q[1] + e2[2] * q[2]) * inv;
    if (!(t >= ray.tMin && t <= ray.tMax)) return false;
    hit = {t, u, v, tri.face, tri.local};
    return true;
}

// --- Bvh -------------------------------------------------------------------
//
// Binned surface-area-heuristic build over triangle centroids (one axis, the
// widest, 16 bins), leaves of up to 4 triangles, flat node array with the two
// children of a node side by side. The top of the tree is built on one thread;
// the subtrees below it are built on all cores and then appended.

namespace {

constexpr int kBins = 16;
constexpr uint32_t kLeafSize = 4;
constexpr int kMaxSahDepth = 48;  // below this, plain halving keeps the tree shallow
constexpr float kPadTolerance = 1e-4f;  // barycentric tolerance the built boxes already cover
constexpr uint32_t kParallelMinimum = 1u << 16;  // smaller meshes build on one thread

unsigned buildThreads(size_t items) {
    if (items < kParallelMinimum) return 1;
    return std::max(1u, std::min(8u, std::thread::hardware_concurrency()));
}

// Runs work(part) for part = 0 .. parts-1 on `parts` threads (this one included).
template <class Work>
void onThreads(unsigned parts, Work work) {
    std::vector<std::thread> pool;
    for (unsigned p = 1; p < parts; ++p) pool.emplace_back(work, p);
    work(0u);
    for (std::thread& t : pool) t.join();
}

struct Box {
    float lo[3] = {INFINITY, INFINITY, INFINITY};
    float hi[3] = {-INFINITY, -INFINITY, -INFINITY};
    void grow(const float* l, const float* h) {
        for (int i = 0; i < 3; ++i) {
            lo[i] = std::min(lo[i], l[i]);
            hi[i] = std::max(hi[i], h[i]);
        }
    }
    void grow(const Box& b) { grow(b.lo, b.hi); }
    float area() const {
        const float dx = hi[0] - lo[0], dy = hi[1] - lo[1], dz = hi[2] - lo[2];
        return dx < 0.0f ? 0.0f : dx * dy + dy * dz + dz * dx;
    }
};

// A triangle as the build sees it: padded bounds, centroid, and where it comes
// from. The build partitions these records themselves, so every pass over a
// node's triangles reads memory in order.
struct BuildItem {
    Box box;
    float centroid[3];
    int face, local;
};

struct BuildTask {
    uint32_t node, begin, end;
    int depth;
    Box box, centroids;  // bounds of the triangles, and of their centroids
};

struct Bin {
    Box box, centroids;
    uint32_t count = 0;
};

BuildItem makeItem(const PackedTriangle& t) {
    BuildItem item;
    item.face = t.face;
    item.local = t.local;
    float extent = 0.0f, magnitude = 0.0f;
    for (int a = 0; a < 3; ++a) {
        const float c[3] = {t.v0[a], t.v0[a] + t.e1[a], t.v0[a] + t.e2[a]};
        item.box.lo[a] = std::min({c[0], c[1], c[2]});
        item.box.hi[a] = std::max({c[0], c[1], c[2]});
        extent = std::max(extent, item.box.hi[a] - item.box.lo[a]);
        magnitude = std::max({magnitude, std::fabs(item.box.lo[a]), std::fabs(item.box.hi[a])});
    }
    // Pad so that a hit accepted by a widened barycentric test, or one rounded
    // differently, is never lost to a box that is too tight.
    const float pad = kPadTolerance * extent + 1e-6f * magnitude + 1e-30f;
    for (int a = 0; a < 3; ++a) {
        item.box.lo[a] -= pad;
        item.box.hi[a] += pad;
        item.centroid[a] = 0.5f * (item.box.lo[a] + item.box.hi[a]);
    }
    return item;
}

// Splits the task's items in two by the best of the bin boundaries along the
// widest centroid axis (or halves them), filling the two child tasks' ranges
// and bounds. False when the task should stay a leaf.
bool splitTask(const BuildTask& task, BuildItem* items, BuildTask& lower, BuildTask& upper) {
    const uint32_t count = task.end - task.begin;
    if (count <= kLeafSize) return false;
    const Box& cbox = task.centroids;
    int axis = 0;
    for (int a = 1; a < 3; ++a)
        if (cbox.hi[a] - cbox.lo[a] > cbox.hi[axis] - cbox.lo[axis]) axis = a;
    const float extent = cbox.hi[axis] - cbox.lo[axis];
    BuildItem* first = items + task.begin;
    BuildItem* last = items + task.end;
    lower = {0, task.begin, 0, task.depth + 1, {}, {}};
    upper = {0, 0, task.end, task.depth + 1, {}, {}};

    if (extent > 0.0f && task.depth < kMaxSahDepth) {
        Bin bins[kBins];
        const float scale = kBins / extent;
        auto binOf = [&](const BuildItem& item) {
            const int b = static_cast<int>((item.centroid[axis] - cbox.lo[axis]) * scale);
            return std::min(std::max(b, 0), kBins - 1);
        };
        for (BuildItem* it = first; it != last; ++it) {
            Bin& bin = bins[binOf(*it)];
            ++bin.count;
            bin.box.grow(it->box);
            bin.centroids.grow(it->centroid, it->centroid);
        }
        float rightArea[kBins];
        uint32_t rightCount[kBins];
        Box acc;
        uint32_t accCount = 0;
        for (int b = kBins - 1; b > 0; --b) {
            acc.grow(bins[b].box);
            accCount += bins[b].count;
            rightArea[b] = acc.area();
            rightCount[b] = accCount;
        }
        Box left;
        uint32_t leftCount = 0;
        float bestCost = INFINITY;
        int bestBin = -1;
        for (int b = 1; b < kBins; ++b) {
            left.grow(bins[b - 1].box);
            leftCount += bins[b - 1].count;
            if (leftCount == 0 || rightCount[b] == 0) continue;
            const float cost = leftCount * left.area() + rightCount[b] * rightArea[b];
            if (cost < bestCost) {
                bestCost = cost;
                bestBin = b;
            }
        }
        if (bestBin > 0) {
            BuildItem* mid =
                std::partition(first, last, [&](const BuildItem& item) { return binOf(item) < bestBin; });
            // The bins already hold the children's bounds.
            for (int b = 0; b < kBins; ++b) {
                BuildTask& side = b < bestBin ? lower : upper;
                side.box.grow(bins[b].box);
                side.centroids.grow(bins[b].centroids);
            }
            lower.end = upper.begin = static_cast<uint32_t>(mid - items);
            return true;
        }
    }
    // All centroids in one bin, or too deep: halve along the widest axis.
    BuildItem* mid = first + count / 2;
    std::nth_element(first, mid, last,
                     [&](const BuildItem& a, const BuildItem& b) { return a.centroid[axis] < b.centroid[axis]; });
    for (const BuildItem* it = first; it != last; ++it) {
        BuildTask& side = it < mid ? lower : upper;
        side.box.grow(it->box);
        side.centroids.grow(it->centroid, it->centroid);
    }
    lower.end = upper.begin = static_cast<uint32_t>(mid - items);
    return true;
}

// Builds the tree of `root` into nodes (root.node must exist). Tasks with
// fewer than deferBelow items are handed to *deferred instead, their node left
// to be filled later.
void buildTree(BuildTask root, BuildItem* items, BigVector<BvhNode>& nodes, std::vector<BuildTask>* deferred,
               uint32_t deferBelow) {
    std::vector<BuildTask> tasks{root};
    while (!tasks.empty()) {
        const BuildTask task = tasks.back();
        tasks.pop_back();
        if (deferred && task.end - task.begin < deferBelow) {
            deferred->push_back(task);
            continue;
        }
        BuildTask lower, upper;
        const bool inner = splitTask(task, items, lower, upper);
        BvhNode& node = nodes[task.node];
        std::memcpy(node.lo, task.box.lo, sizeof(node.lo));
        std::memcpy(node.hi, task.box.hi, sizeof(node.hi));
        if (!inner) {
            node.first = task.begin;
            node.count = task.end - task.begin;
            continue;
        }
        node.first = static_cast<uint32_t>(nodes.size());
        node.count = 0;
        lower.node = node.first;
        upper.node = node.first + 1;
        nodes.push_back(BvhNode{});
        nodes.push_back(BvhNode{});
        tasks.push_back(upper);
        tasks.push_back(lower);
    }
}

// Copies a subtree built on its own (root at index 0) into the tree: its root
// into the placeholder node `at`, the rest from index `offset` on.
void placeSubtree(BigVector<BvhNode>& nodes, uint32_t at, uint32_t offset, const BigVector<BvhNode>& subtree) {
    auto moved = [&](BvhNode node) {
        if (node.count == 0) node.first = node.first - 1 + offset;  // local child c >= 1 lands at offset + c - 1
        return node;
    };
    nodes[at] = moved(subtree[0]);
    for (size_t i = 1; i < subtree.size(); ++i) nodes[offset + i - 1] = moved(subtree[i]);
}

}  // namespace

Bvh::Bvh(const MeshData& mesh) {
    const uint32_t n = static_cast<uint32_t>(mesh.numTriangles());
    const int faces = mesh.numFaces();
    const unsigned threads = buildThreads(n);
    BigVector<BuildItem> items(n);

    // Build records, each thread over a share of the faces.
    std::vector<BuildTask> roots(threads, BuildTask{0, 0, n, 0, {}, {}});
    onThreads(threads, [&](unsigned part) {
        BuildTask& root = roots[part];
        const int fEnd = static_cast<int>(int64_t(faces) * (part + 1) / threads);
        for (int f = static_cast<int>(int64_t(faces) * part / threads); f < fEnd; ++f)
            for (int local = 0; local < mesh.faceSize(f) - 2; ++local) {
                BuildItem& item = items[size_t(mesh.firstTriangle(f) + local)] = makeItem(mesh.packTriangle(f, local));
                root.box.grow(item.box);
                root.centroids.grow(item.centroid, item.centroid);
            }
    });
    BuildTask root = roots[0];
    for (const BuildTask& r : roots) {
        root.box.grow(r.box);
        root.centroids.grow(r.centroids);
    }

    nodes_.reserve(n > 0 ? size_t(2) * n : 1);
    nodes_.push_back(BvhNode{});
    if (threads == 1) {
        buildTree(root, items.data(), nodes_, nullptr, 0);
    } else {
        // The top on this thread, then the subtrees below it on all threads,
        // each into its own array, appended in task order.
        std::vector<BuildTask> deferred;
        buildTree(root, items.data(), nodes_, &deferred, n / (threads * 4));
        std::vector<BigVector<BvhNode>> subtrees(deferred.size());
        std::atomic<size_t> next{0};
        onThreads(threads, [&](unsigned) {
            for (size_t i; (i = next.fetch_add(1)) < deferred.size();) {
                BuildTask task = deferred[i];
                task.node = 0;
                subtrees[i].reserve(size_t(2) * (task.end - task.begin));
                subtrees[i].push_back(BvhNode{});
                buildTree(task, items.data(), subtrees[i], nullptr, 0);
            }
        });
        std::vector<uint32_t> offsets(deferred.size());
        size_t total = nodes_.size();
        for (size_t i = 0; i < deferred.size(); ++i) {
            offsets[i] = static_cast<uint32_t>(total);
            total += subtrees[i].size() - 1;
        }
        nodes_.resize(total);
        next = 0;
        onThreads(threads, [&](unsigned) {
            for (size_t i; (i = next.fetch_add(1)) < deferred.size();)
                placeSubtree(nodes_, deferred[i].node, offsets[i], subtrees[i]);
        });
    }

    for (const BuildItem& item : items)
        for (int a = 0; a < 3; ++a) maxExtent_ = std::max(maxExtent_, item.box.hi[a] - item.box.lo[a]);
    triangles_.resize(n);
    onThreads(threads, [&](unsigned part) {
        const size_t end = size_t(n) * (part + 1) / threads;
        for (size_t k = size_t(n) * part / threads; k < end; ++k)
            triangles_[k] = mesh.packTriangle(items[k].face, items[k].local);
    });
}

void Bvh::intersect(const Ray& ray, std::vector<Hit>& hits, bool firstOnly) const {
    if (triangles_.empty()) return;
    float inv[3];
    for (int a = 0; a < 3; ++a) {
        // A zero component would give 0 * inf = NaN in the slab test; a huge
        // finite reciprocal gives the same answer without it.
        const float d = ray.dir[a];
        inv[a] = 1.0f / (d != 0.0f ? d : 1e-30f);
    }
    // A tolerance beyond the one built in widens every box by what it can add
    // to the largest triangle.
    const float margin = std::max(0.0f, ray.tolerance - kPadTolerance) * maxExtent_;
    uint32_t stack[128];
    int top = 0;
    stack[top++] = 0;
    Hit hit;
    while (top > 0) {
        const BvhNode& node = nodes_[stack[--top]];
        float t0 = ray.tMin, t1 = ray.tMax;
        for (int a = 0; a < 3; ++a) {
            float ta = (node.lo[a] - margin - ray.origin[a]) * inv[a];
            float tb = (node.hi[a] + margin - ray.origin[a]) * inv[a];
            if (ta > tb) std::swap(ta, tb);
            t0 = ta > t0 ? ta : t0;
            t1 = tb < t1 ? tb : t1;
        }
        if (!(t0 <= t1)) continue;
        if (node.count > 0) {
            for (uint32_t k = node.first; k < node.first + node.count; ++k)
                if (intersectTriangle(ray, triangles_[k], hit)) {
                    hits.push_back(hit);
                    if (firstOnly) return;
                }
        } else {
            stack[top++] = node.first;
            stack[top++] = node.first + 1;
        }
    }
}

}  // namespace maya_runtime
