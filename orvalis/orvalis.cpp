// orvalis: a Python extension module for Maya's Python.
//
//   set_renderview_image(width, height, channels, to_linear, image)
//       shows an 8-bit image in the Render View;
//   compute_cam_mask_vtx_colors(mesh_node, camera_node, color_set, smooth_iterations,
//                               frustum_test, occlusion_test, facing_test)
//       writes a camera-visibility mask of a mesh as vertex colours into a colour set.
//
// Failed Maya calls are shown as Maya warnings, never raised in Python; argument
// conversion is left to pybind11, which raises TypeError for what does not convert.

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <maya/M3dView.h>
#include <maya/MColor.h>
#include <maya/MColorArray.h>
#include <maya/MDagPath.h>
#include <maya/MFloatArray.h>
#include <maya/MFloatMatrix.h>
#include <maya/MFloatPoint.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFloatVector.h>
#include <maya/MFnCamera.h>
#include <maya/MFnMesh.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MItMeshVertex.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MRenderView.h>
#include <maya/MSelectionList.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTransformationMatrix.h>
#include <maya/MVector.h>

// Defines the exported MApiVersion and ADSK_PLUGIN_SIGNATURE; included in this one
// source file only, as Maya's plug-in header requires.
#include <maya/MFnPlugin.h>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <new>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace py = pybind11;

// The library's own exports, unadorned; and printf format checking where the
// compiler offers it (GCC and Clang), nothing under MSVC.
#if defined(_WIN32)
#define ORVALIS_EXPORT extern "C" __declspec(dllexport)
#else
#define ORVALIS_EXPORT extern "C" __attribute__((visibility("default")))
#endif

#if defined(_MSC_VER)
#define ORVALIS_PRINTF_FORMAT(format_index, first_argument)
#else
#define ORVALIS_PRINTF_FORMAT(format_index, first_argument) \
    __attribute__((format(printf, format_index, first_argument)))
#endif

// ---------------------------------------------------------------------------
// Status warnings and progress lines
// ---------------------------------------------------------------------------

namespace {

// Every warning and progress line is formatted here; the bound keeps the text at
// 2046 characters at most (longer texts are cut), whatever the error text or path.
char message_buffer[2048];
constexpr int kMessageBound = 2047;

void report_status_warning(const MStatus& status, const char* function_name, int line,
                           const char* file) {
    {
        const MString error_text = status.errorString();
        std::snprintf(message_buffer, kMessageBound, "%s() in %s, (line %d in file '%s')",
                      error_text.asChar(), function_name, line, file);
    }
    MGlobal::displayWarning(MString(function_name) + "() : " + MString(message_buffer));
}

// True when the call failed, after its warning has been shown. `line` is the line of
// the checked call: callers pass __LINE__ on the line that makes it.
bool warn_if_failed(const MStatus& status, const char* function_name, int line) {
    if (status == MStatus::kSuccess) return false;
    report_status_warning(status, function_name, line, __FILE__);
    return true;
}

ORVALIS_PRINTF_FORMAT(1, 2) void show_progress(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(message_buffer, kMessageBound, format, arguments);
    va_end(arguments);
    MGlobal::displayInfo(MString(message_buffer));
}

}  // namespace

// ---------------------------------------------------------------------------
// set_renderview_image
// ---------------------------------------------------------------------------

using ImageArray = py::array_t<std::uint8_t, py::array::forcecast>;

namespace {

constexpr const char* kRenderViewFunction = "set_renderview_image";

// The sRGB decode of one byte, step by step in the precisions that matter for
// bit-exact results: single-precision normalisation, double-precision curve,
// single-precision rescale.
float decode_srgb_byte(std::uint8_t value) {
    const float normalised = static_cast<float>(value) / 255.0f;
    const double c = normalised;
    const double linear = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    return static_cast<float>(linear) * 255.0f;
}

// Channel value of every byte: the decode, or the byte itself as a float.
struct ChannelTable {
    float value[256];
    explicit ChannelTable(bool to_linear) {
        for (int v = 0; v < 256; ++v) {
            const auto byte = static_cast<std::uint8_t>(v);
            value[v] = to_linear ? decode_srgb_byte(byte) : static_cast<float>(byte);
        }
    }
};

// One conversion of a picture into Render View records, last source row first.
struct PixelFill {
    RV_PIXEL* out;
    const std::uint8_t* image;
    std::int64_t width, height, channels;
    const ChannelTable* table;
};

// Scratch rows [y_begin, y_end). `Stride` is the pixel stride when known at compile
// time (3 or 4), 0 for any other `channels`.
template <int Stride>
void fill_rows(const PixelFill& fill, std::int64_t y_begin, std::int64_t y_end) {
    const std::int64_t stride = Stride != 0 ? Stride : fill.channels;
    const std::int64_t row_bytes = fill.width * stride;
    const float* value = fill.table->value;
    for (std::int64_t y = y_begin; y < y_end; ++y) {
        const std::uint8_t* src = fill.image + (fill.height - 1 - y) * row_bytes;
        RV_PIXEL* dst = fill.out + y * fill.width;
        for (std::int64_t x = 0; x < fill.width; ++x, src += stride) {
            dst[x].r = value[src[0]];
            dst[x].g = value[src[1]];
            dst[x].b = value[src[2]];
            // Alpha is taken only from 4-byte pixels and is never decoded.
            dst[x].a = Stride == 4 ? static_cast<float>(src[3]) : 255.0f;
        }
    }
}

void fill_band(const PixelFill& fill, std::int64_t y_begin, std::int64_t y_end) {
    if (fill.channels == 3)
        fill_rows<3>(fill, y_begin, y_end);
    else if (fill.channels == 4)
        fill_rows<4>(fill, y_begin, y_end);
    else
        fill_rows<0>(fill, y_begin, y_end);
}

// Bands of rows for a picture: one for small pictures, up to four for large ones,
// where first-touch page faults and memory traffic dominate and scale with threads.
unsigned band_count(std::int64_t pixel_count) {
    constexpr std::int64_t kPixelsPerBand = std::int64_t{1} << 20;
    const unsigned hardware = std::max(1u, std::thread::hardware_concurrency());
    const std::int64_t wanted = std::min<std::int64_t>({pixel_count / kPixelsPerBand, 4, hardware});
    return static_cast<unsigned>(std::max<std::int64_t>(wanted, 1));
}

// Fills every record. Extra bands run on worker threads that touch no Python object;
// the calling thread keeps the interpreter lock and fills the first band. A band
// whose thread cannot be started is filled here as well: no exception leaves while
// a worker runs. The vector is reserved before the first start, so adding a worker
// never reallocates; a failed start (no thread, or no memory for its state) leaves
// the vector as it was.
void fill_render_view_pixels(const PixelFill& fill) {
    const unsigned bands = band_count(fill.width * fill.height);
    const auto band_start = [&](unsigned band) { return fill.height * band / bands; };
    std::vector<std::thread> workers;
    unsigned band = 1;
    try {
        workers.reserve(bands - 1);
        for (; band < bands; ++band)
            workers.emplace_back(fill_band, std::cref(fill), band_start(band), band_start(band + 1));
    } catch (const std::system_error&) {
        // Fewer threads than asked for: the remaining bands are filled below.
    } catch (const std::bad_alloc&) {
        // Likewise.
    }
    fill_band(fill, 0, band_start(1));
    fill_band(fill, band_start(band), fill.height);
    for (std::thread& worker : workers) worker.join();
}

// Refuses, before anything is allocated or Maya is called, what would make the fill
// read outside the image. All products in 64 bits; w * h cannot overflow there.
void check_image_arguments(int width, int height, int channels, std::int64_t image_bytes) {
    if (width < 1 || height < 1)
        throw py::value_error("set_renderview_image: width and height must be at least 1, got " +
                              std::to_string(width) + " x " + std::to_string(height));
    if (channels < 3)
        throw py::value_error("set_renderview_image: channels must be at least 3, got " +
                              std::to_string(channels));
    const std::int64_t pixels = std::int64_t{width} * height;
    if (image_bytes / channels < pixels)
        throw py::value_error("set_renderview_image: the image holds " +
                              std::to_string(image_bytes) +
                              " bytes, fewer than width * height * channels = " +
                              std::to_string(width) + " * " + std::to_string(height) + " * " +
                              std::to_string(channels));
}

// The Render View records of one call. A large array is mapped on its own and, where
// the kernel offers them, backed by huge pages: filling a fresh array of 4 KiB pages
// costs more in page faults than the conversion itself (about 0.4 s for 3840 x 2160
// on a virtual machine, against some 25 ms with 2 MiB pages).
class ScratchPixels {
public:
    explicit ScratchPixels(std::size_t count) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
        if (count * sizeof(RV_PIXEL) >= kMapThreshold) {
            map(count * sizeof(RV_PIXEL));
            return;
        }
#endif
        pixels_ = new RV_PIXEL[count];
    }
    ~ScratchPixels() {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
        if (mapping_) {
            munmap(mapping_, mapped_bytes_);
            return;
        }
#endif
        delete[] pixels_;
    }
    ScratchPixels(const ScratchPixels&) = delete;
    ScratchPixels& operator=(const ScratchPixels&) = delete;

    RV_PIXEL* get() const { return pixels_; }

private:
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    static constexpr std::size_t kHugePage = std::size_t{2} << 20;
    static constexpr std::size_t kMapThreshold = 4 * kHugePage;

    // Maps one huge page more than needed so that the records start on a huge page.
    void map(std::size_t bytes) {
        mapped_bytes_ = bytes + kHugePage;
        void* mapping = mmap(nullptr, mapped_bytes_, PROT_READ | PROT_WRITE,
                             MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapping == MAP_FAILED) throw std::bad_alloc();
        mapping_ = mapping;
        const auto address = reinterpret_cast<std::uintptr_t>(mapping);
        const std::uintptr_t aligned = (address + kHugePage - 1) & ~(kHugePage - 1);
        madvise(reinterpret_cast<void*>(aligned), bytes, MADV_HUGEPAGE);  // a hint only
        pixels_ = reinterpret_cast<RV_PIXEL*>(aligned);
    }

    void* mapping_ = nullptr;
    std::size_t mapped_bytes_ = 0;
#endif
    RV_PIXEL* pixels_ = nullptr;
};

// Read-only buffer view of an array, released when the call ends.
class ReadOnlyView {
public:
    explicit ReadOnlyView(const py::handle& array) {
        if (PyObject_GetBuffer(array.ptr(), &view_, PyBUF_STRIDES | PyBUF_FORMAT) != 0)
            throw py::error_already_set();
    }
    ~ReadOnlyView() { PyBuffer_Release(&view_); }
    ReadOnlyView(const ReadOnlyView&) = delete;
    ReadOnlyView& operator=(const ReadOnlyView&) = delete;

    const std::uint8_t* data() const { return static_cast<const std::uint8_t*>(view_.buf); }

private:
    Py_buffer view_{};
};

}  // namespace

ORVALIS_EXPORT void set_renderview_image(int width, int height, int channels, bool to_linear,
                                         ImageArray image) {
    check_image_arguments(width, height, channels, static_cast<std::int64_t>(image.nbytes()));

    // Pixels are read as dense rows; a strided array is read through a dense copy so
    // that it shows the pixels it holds (no copy when the array is dense already).
    const py::array_t<std::uint8_t, py::array::c_style | py::array::forcecast> dense(image);
    const ReadOnlyView view(dense);

    const ScratchPixels pixels(static_cast<std::size_t>(std::int64_t{width} * height));
    const ChannelTable table(to_linear);
    fill_render_view_pixels({pixels.get(), view.data(), width, height, channels, &table});

    const auto w = static_cast<unsigned int>(width);
    const auto h = static_cast<unsigned int>(height);
    // Every call of the sequence runs, also after a failed one.
    warn_if_failed(MRenderView::startRender(w, h, true, false), kRenderViewFunction, __LINE__);
    warn_if_failed(MRenderView::updatePixels(0, w - 1, 0, h - 1, pixels.get(), false, 0, nullptr), kRenderViewFunction, __LINE__);
    warn_if_failed(MRenderView::refresh(0, w - 1, 0, h - 1), kRenderViewFunction, __LINE__);
    warn_if_failed(MRenderView::endRender(), kRenderViewFunction, __LINE__);
}

// ---------------------------------------------------------------------------
// compute_cam_mask_vtx_colors
// ---------------------------------------------------------------------------

namespace {

constexpr const char* kMaskFunction = "compute_cam_mask_vtx_colors";

const MColor kVisibleColor(1.0f, 1.0f, 1.0f, 1.0f);
const MColor kHiddenColor(0.0f, 0.0f, 0.0f, 1.0f);

constexpr float kRayOriginOffset = 0.01f;
constexpr float kRayMaxParam = 1000.0f;
constexpr float kRayTolerance = 0.000001f;
constexpr double kSmoothingThreshold = 0.01;

// The path of the object named `name`, or an invalid path when the name finds nothing.
MDagPath get_dag_path_by_name(MString name) {
    MDagPath path;
    MSelectionList list;
    if (list.add(name, false) != MStatus::kSuccess) return MDagPath();
    list.getDagPath(0, path, MObject::kNullObj);
    return path;
}

// The camera's projection, asked of a function set that lives only for the query.
MStatus query_projection(const MDagPath& camera_path, MMatrix& projection) {
    MStatus status;
    MFloatMatrix single_precision;
    {
        const MFnCamera camera(camera_path);
        single_precision = camera.projectionMatrix(&status);
    }
    if (status == MStatus::kSuccess) {
        double values[4][4];
        single_precision.get(values);
        projection = MMatrix(values);
    }
    return status;
}

// Strict bounds: a value on a bound, or NaN, stays inside; z has no lower bound.
bool inside_frustum(const MPoint& position, const MMatrix& view_inverse,
                    const MMatrix& projection) {
    MPoint p = position * view_inverse;
    p *= projection;
    p.cartesianize();
    return !(p.z > 0.0 || p.x < -1.0 || p.x > 1.0 || p.y < -1.0 || p.y > 1.0);
}

bool faces_camera(const MPoint& position, const MVector& normal, const MPoint& camera_position) {
    MVector to_camera = camera_position - position;
    to_camera.normalize();
    const double d = to_camera.x * normal.x + to_camera.y * normal.y + to_camera.z * normal.z;
    return !(d < 0.0);
}

// True when the mesh itself lies between the vertex and the camera. The ray leaves
// from just off the surface so that the vertex's own faces do not count as hits.
bool occluded_by_mesh(MFnMesh& mesh, const MPoint& position, const MVector& normal,
                      const MPoint& camera_position, MMeshIsectAccelParams& accel) {
    const MFloatVector direction(camera_position - position);
    const MPoint origin = position + normal * kRayOriginOffset;
    const MFloatPoint source(static_cast<float>(origin.x), static_cast<float>(origin.y),
                             static_cast<float>(origin.z), static_cast<float>(origin.w));
    MFloatPointArray hit_points;
    MIntArray hit_faces;
    MStatus unread_status;
    return mesh.allIntersections(source, direction, nullptr, nullptr, false, MSpace::kWorld,
                                 kRayMaxParam, false, &accel, false, hit_points, nullptr,
                                 &hit_faces, nullptr, nullptr, nullptr, kRayTolerance,
                                 &unread_status);
}

// One neighbour-averaging sweep, in place: later vertices see the new values of
// earlier ones. Only vertices whose red is above the threshold are averaged; every
// vertex counts as a neighbour. Entry k of `colors` belongs to vertex k.
void smooth_sweep(MItMeshVertex& vertices, MColorArray& colors) {
    vertices.reset();
    for (; !vertices.isDone(); vertices.next()) {
        const int index = vertices.index();
        const MColor c = colors[index];
        if (!(static_cast<double>(c.r) > kSmoothingThreshold)) continue;
        MIntArray neighbours;
        vertices.getConnectedVertices(neighbours);
        float r = c.r, g = c.g, b = c.b;
        for (unsigned int i = 0; i < neighbours.length(); ++i) {
            const MColor& n = colors[neighbours[i]];
            r += n.r;
            g += n.g;
            b += n.b;
        }
        const float count = static_cast<float>(neighbours.length() + 1);
        colors[index] = MColor(r / count, g / count, b / count, c.a);
    }
}

void write_color_set(MFnMesh& mesh, const char* color_set, MColorArray& colors,
                     MIntArray& vertex_ids) {
    MString name(color_set);
    mesh.deleteColorSet(name, nullptr, nullptr);
    // createColorSet may rename the set; the later calls use the name it leaves.
    mesh.createColorSet(name, nullptr, nullptr);
    mesh.setCurrentColorSetName(name, nullptr, nullptr);
    mesh.setVertexColors(colors, vertex_ids, nullptr);
}

}  // namespace

void compute_cam_mask_vtx_colors(const char* mesh_node, const char* camera_node,
                                 const char* color_set, int smooth_iterations,
                                 bool frustum_test, bool occlusion_test, bool facing_test) {
    MDagPath mesh_path = get_dag_path_by_name(MString(mesh_node));
    MDagPath camera_path = get_dag_path_by_name(MString(camera_node));

    if (!mesh_path.isValid()) {
        MSelectionList selection;
        if (warn_if_failed(MGlobal::getActiveSelectionList(selection, false), kMaskFunction, __LINE__)) return;
        if (warn_if_failed(selection.getDagPath(0, mesh_path, MObject::kNullObj), kMaskFunction, __LINE__)) return;
        mesh_path.extendToShape();
    }
    if (!camera_path.isValid()) {
        if (warn_if_failed(M3dView::active3dView().getCamera(camera_path), kMaskFunction, __LINE__)) return;
    }

    const MMatrix view_inverse = camera_path.inclusiveMatrixInverse();
    MMatrix projection;
    if (warn_if_failed(query_projection(camera_path, projection), kMaskFunction, __LINE__)) return;
    const MPoint camera_position(
        MTransformationMatrix(camera_path.inclusiveMatrix()).getTranslation(MSpace::kWorld));

    MItMeshVertex vertices(mesh_path, MObject::kNullObj);
    MFnMesh mesh(mesh_path);
    MColorArray colors;
    MIntArray vertex_ids;

    show_progress("Computing camera-based mask:");
    show_progress("\tCamera: %s", camera_path.partialPathName().asChar());
    show_progress("\tMesh: %s", mesh_path.partialPathName().asChar());
    show_progress("\tCam Pos: %f %f %f", camera_position.x, camera_position.y,
                  camera_position.z);

    MMeshIsectAccelParams accel = MFnMesh::autoUniformGridParams();

    for (; !vertices.isDone(); vertices.next()) {
        const MPoint position = vertices.position(MSpace::kWorld);
        MVector normal(0.0, 0.0, 0.0);
        vertices.getNormal(normal, MSpace::kWorld);

        bool visible = true;
        if (frustum_test) visible = inside_frustum(position, view_inverse, projection);
        if (visible && facing_test) visible = faces_camera(position, normal, camera_position);
        if (visible && occlusion_test)
            visible = !occluded_by_mesh(mesh, position, normal, camera_position, accel);

        vertex_ids.append(vertices.index());
        colors.append(visible ? kVisibleColor : kHiddenColor);
    }

    for (int sweep = 0; sweep < smooth_iterations; ++sweep) smooth_sweep(vertices, colors);

    write_color_set(mesh, color_set, colors, vertex_ids);
}

// ---------------------------------------------------------------------------
// Module entry
// ---------------------------------------------------------------------------

namespace {

// Bound without argument records: positional only, no names, no docstrings.
void init_orvalis_module(py::module_& module) {
    module.def("set_renderview_image", &set_renderview_image);
    module.def("compute_cam_mask_vtx_colors", &compute_cam_mask_vtx_colors);
    module.attr("__version__") = py::str("dev");
}

}  // namespace

PYBIND11_MODULE(orvalis, module) { init_orvalis_module(module); }
