// Render start (render_setup) and render end (render_finished).

#include "python_call.h"  // Python.h comes first

#include "driver_frame.h"
#include "log_text.h"
#include "render_shape.h"

namespace korvane {
namespace {

const char* name_or_empty(const AtNode* node) {
    const char* name = node ? AiNodeGetName(node) : nullptr;
    return name ? name : "";
}

// What render_setup receives, read from the nodes before the interpreter lock is taken.
struct RenderStart {
    const char* node_name;
    const char* camera_name;
    int xres;
    int yres;
    int channels;
    AtBBox2 data_window;
    int bucket_size;
};

// The number of buckets that cover the window, exact for every window: columns x rows as
// Python ints, whose product may exceed 64 bits. A new reference, or null.
PyObject* bucket_count(int64_t width, int64_t height, int bucket_size) {
    PyObject* columns = PyLong_FromLongLong(covering_buckets(width, bucket_size));
    PyObject* rows = PyLong_FromLongLong(covering_buckets(height, bucket_size));
    PyObject* count = columns && rows ? PyNumber_Multiply(columns, rows) : nullptr;
    Py_XDECREF(columns);
    Py_XDECREF(rows);
    return count;
}

PyObject* render_setup_arguments(const RenderStart& start) {
    const AtBBox2& window = start.data_window;
    const int64_t width = window_extent(window.minx, window.maxx);
    const int64_t height = window_extent(window.miny, window.maxy);
    return pack_new_references(
        PyUnicode_FromString(start.node_name), PyUnicode_FromString(start.camera_name),
        PyLong_FromLong(start.xres), PyLong_FromLong(start.yres),
        PyLong_FromLong(start.channels),
        PyBool_FromLong(is_region(width, height, start.xres, start.yres)),
        bucket_count(width, height, start.bucket_size),
        PyLong_FromLong(window.minx), PyLong_FromLong(window.miny),
        PyLong_FromLong(window.maxx), PyLong_FromLong(window.maxy));
}

}  // namespace

int node_channels(const AtNode* node) {
    static const AtString alpha_mode("alphaMode");
    return channels_for_alpha_mode(AiNodeGetInt(node, alpha_mode));
}

void send_render_start(AtNode* node, AtOutputIterator* /*iterator*/, AtBBox2 /*display_window*/,
                       AtBBox2 data_window, int bucket_size) {
    static const AtString xres("xres"), yres("yres"), camera("camera");

    RenderStart start{};
    start.channels = node_channels(node);
    node_type::reset_render_state();
    const AtNode* options = AiUniverseGetOptions(AiNodeGetUniverse(node));
    start.xres = AiNodeGetInt(options, xres);
    start.yres = AiNodeGetInt(options, yres);
    start.camera_name = name_or_empty(static_cast<const AtNode*>(AiNodeGetPtr(options, camera)));
    start.node_name = name_or_empty(node);
    start.data_window = data_window;
    start.bucket_size = bucket_size;

    AiMsgInfo(KORVANE_LOG_PREFIX "Sending render start to python");
    call_mtoa_callback("render_setup", [&start] { return render_setup_arguments(start); });
    AiMsgInfo(KORVANE_LOG_PREFIX "Render start sent to python");
}

void send_render_finished() {
    AiMsgInfo(KORVANE_LOG_PREFIX "driver_close");
    call_mtoa_callback("render_finished");
}

}  // namespace korvane
