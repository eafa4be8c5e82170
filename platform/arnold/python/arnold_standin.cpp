// Python control module of the renderer stand-in: loads driver plug-ins,
// makes universes and driver nodes, drives renders and reads what the
// drivers left behind (log, AOVs, allocations).

#include <dlfcn.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include "ai.h"
#include "ai_standin.h"

namespace py = pybind11;
using ai_standin::Output;
using ai_standin::ParamInfo;
using ai_standin::Value;

namespace {

// ---- Argument checks ------------------------------------------------------------------------

// A Python int (not a bool) that fits a 32-bit int.
int int_arg(const py::handle& value, const std::string& what)
{
    if (!py::isinstance<py::int_>(value) || py::isinstance<py::bool_>(value))
        throw py::type_error(what + " must be an int");
    int overflow = 0;
    const long long number = PyLong_AsLongLongAndOverflow(value.ptr(), &overflow);
    if (overflow || number < INT32_MIN || number > INT32_MAX)
        throw py::value_error(what + " is outside the 32-bit int range");
    return static_cast<int>(number);
}

std::string str_arg(const py::handle& value, const std::string& what)
{
    if (!py::isinstance<py::str>(value))
        throw py::type_error(what + " must be a str");
    return value.cast<std::string>();
}

// A node name: a str, or bytes for a name that is not valid UTF-8 (as a scene file
// may hold), so that tests can reach what the drivers do with such a name.
std::string name_arg(const py::handle& value)
{
    if (py::isinstance<py::bytes>(value))
        return value.cast<std::string>();
    return str_arg(value, "a node's name");
}

// ---- Plug-ins ------------------------------------------------------------------------

// What NodeLoader finds in the record before the call; a record still equal to
// it afterwards was left untouched.
const char kMarkerName[] = "<untouched>";
const AtNodeMethods kMarkerMethods{nullptr, nullptr};

AtNodeLib marked_record()
{
    AtNodeLib record;
    std::memset(&record, 0xA5, sizeof record);
    record.node_type = static_cast<int>(0xDEADBEEFu);
    record.output_type = 0xA5;
    record.name = kMarkerName;
    record.methods = &kMarkerMethods;
    return record;
}

std::string fixed_text(const char* text, size_t capacity)
{
    return std::string(text, strnlen(text, capacity));
}

py::object decoded(const std::string& bytes)
{
    return py::reinterpret_steal<py::object>(
        PyUnicode_DecodeUTF8(bytes.data(), static_cast<Py_ssize_t>(bytes.size()), "replace"));
}

struct Plugin {
    std::string path;
    AtNodeLoaderFunc loader = nullptr;  // the library stays loaded for the process

    std::pair<bool, AtNodeLib> load(int index) const
    {
        AtNodeLib record = marked_record();
        const bool answered = loader(index, &record);
        return {answered, record};
    }

    // The record of index 0, which every other query starts from.
    AtNodeLib entry() const
    {
        auto [answered, record] = load(0);
        if (!answered)
            throw py::value_error("NodeLoader(0) of " + path + " answered false");
        if (!record.methods || record.methods == &kMarkerMethods)
            throw py::value_error("NodeLoader(0) of " + path + " gave no method tables");
        return record;
    }

    const AtNodeMethods& methods() const
    {
        return *static_cast<const AtNodeMethods*>(entry().methods);
    }

    const AtDriverNodeMethods& driver_methods() const
    {
        const AtNodeMethods& tables = methods();
        if (!tables.dmethods)
            throw py::value_error(path + " has no driver method table");
        return *static_cast<const AtDriverNodeMethods*>(tables.dmethods);
    }
};

Plugin load_plugin(const std::string& path)
{
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* error = dlerror();
        PyErr_SetString(PyExc_OSError,
                        ("cannot load plug-in " + path + ": " + (error ? error : "unknown error")).c_str());
        throw py::error_already_set();
    }
    dlerror();
    void* symbol = dlsym(handle, "NodeLoader");
    if (!symbol) {
        dlclose(handle);
        PyErr_SetString(PyExc_OSError, ("plug-in " + path + " exports no NodeLoader").c_str());
        throw py::error_already_set();
    }
    Plugin plugin;
    plugin.path = path;
    plugin.loader = reinterpret_cast<AtNodeLoaderFunc>(symbol);
    return plugin;
}

py::tuple call_node_loader(const Plugin& plugin, int index)
{
    const AtNodeLib untouched = marked_record();
    auto [answered, record] = plugin.load(index);
    if (std::memcmp(&record, &untouched, sizeof record) == 0)
        return py::make_tuple(answered, py::none());
    py::dict fields;
    fields["node_type"] = record.node_type;
    fields["output_type"] = static_cast<int>(record.output_type);
    fields["name"] = (record.name && record.name != kMarkerName)
                         ? decoded(record.name)
                         : py::object(py::none());
    fields["version"] = decoded(fixed_text(record.version, AI_MAXSIZE_VERSION));
    return py::make_tuple(answered, fields);
}

py::list method_slots(const Plugin& plugin)
{
    const AtNodeMethods& tables = plugin.methods();
    const AtCommonMethods* c = tables.cmethods;
    const auto* d = static_cast<const AtDriverNodeMethods*>(tables.dmethods);
    const std::array<std::pair<const char*, bool>, 14> slots{{
        {"PluginInitialize", c && c->PluginInitialize},
        {"PluginCleanup", c && c->PluginCleanup},
        {"Parameters", c && c->Parameters},
        {"Initialize", c && c->Initialize},
        {"Update", c && c->Update},
        {"Finish", c && c->Finish},
        {"DriverSupportsPixelType", d && d->DriverSupportsPixelType},
        {"DriverExtension", d && d->DriverExtension},
        {"DriverOpen", d && d->DriverOpen},
        {"DriverNeedsBucket", d && d->DriverNeedsBucket},
        {"DriverPrepareBucket", d && d->DriverPrepareBucket},
        {"DriverProcessBucket", d && d->DriverProcessBucket},
        {"DriverWriteBucket", d && d->DriverWriteBucket},
        {"DriverClose", d && d->DriverClose},
    }};
    py::list result;
    for (const auto& [name, present] : slots)
        result.append(py::make_tuple(name, present));
    return result;
}

template <class Slot>
Slot require(Slot slot, const char* name)
{
    if (!slot)
        throw py::value_error(std::string("the plug-in's ") + name + " slot is null");
    return slot;
}

// ---- Parameter values ------------------------------------------------------------------

py::object enum_value(const ParamInfo& info)
{
    const int i = info.value.i;
    if (i >= 0 && static_cast<size_t>(i) < info.enum_names.size())
        return py::str(info.enum_names[i]);
    return py::int_(i);
}

py::object pointer_value(const void* p)
{
    if (!p)
        return py::none();
    return py::int_(reinterpret_cast<uintptr_t>(p));
}

// The value as tests read it: an ENUM by its entry name.
py::object to_python(const ParamInfo& info)
{
    const Value& v = info.value;
    switch (info.type) {
    case AI_TYPE_BOOLEAN: return py::bool_(v.b);
    case AI_TYPE_INT: return py::int_(v.i);
    case AI_TYPE_FLOAT: return py::float_(v.f);
    case AI_TYPE_STRING: return decoded(v.s);
    case AI_TYPE_ENUM: return enum_value(info);
    case AI_TYPE_RGB: return py::make_tuple(v.rgb.r, v.rgb.g, v.rgb.b);
    case AI_TYPE_POINTER:
    case AI_TYPE_NODE: return pointer_value(v.p);
    default: return py::none();
    }
}

// A declaration's default: an ENUM as (index, [entry names]).
py::object default_to_python(const ParamInfo& info)
{
    if (info.type == AI_TYPE_ENUM)
        return py::make_tuple(info.value.i, info.enum_names);
    return to_python(info);
}

const char* type_label(int type)
{
    switch (type) {
    case AI_TYPE_BOOLEAN: return "BOOL";
    case AI_TYPE_INT: return "INT";
    case AI_TYPE_FLOAT: return "FLOAT";
    case AI_TYPE_STRING: return "STRING";
    case AI_TYPE_ENUM: return "ENUM";
    case AI_TYPE_RGB: return "RGB";
    case AI_TYPE_POINTER: return "POINTER";
    case AI_TYPE_NODE: return "NODE";
    default: return "NONE";
    }
}

py::list parameter_list(const std::vector<ParamInfo>& params, bool current)
{
    py::list result;
    for (const ParamInfo& info : params)
        result.append(py::make_tuple(info.name, type_label(info.type),
                                     current ? to_python(info) : default_to_python(info)));
    return result;
}

// ---- Universes and nodes -----------------------------------------------------------------

struct Universe {
    AtUniverse* handle;
    explicit Universe(AtUniverse* u) : handle(u) {}
    ~Universe() { ai_standin::destroy_universe(handle); }
    Universe(const Universe&) = delete;
    Universe& operator=(const Universe&) = delete;
};

struct Node {
    std::shared_ptr<Universe> universe;  // keeps the node's universe alive
    AtNode* handle;
};

bool is_number(const py::handle& value)
{
    return (py::isinstance<py::int_>(value) || py::isinstance<py::float_>(value)) &&
           !py::isinstance<py::bool_>(value);
}

AtRGB to_rgb(const py::handle& value)
{
    if (!py::isinstance<py::sequence>(value) || py::isinstance<py::str>(value) || py::len(value) != 3)
        throw py::type_error("an RGB value is a sequence of three numbers");
    const py::sequence seq = py::reinterpret_borrow<py::sequence>(value);
    for (const auto item : seq)
        if (!is_number(item))
            throw py::type_error("an RGB value is a sequence of three numbers");
    return {seq[0].cast<float>(), seq[1].cast<float>(), seq[2].cast<float>()};
}

int enum_index(const ParamInfo& info, const py::handle& value)
{
    if (py::isinstance<py::str>(value)) {
        const std::string wanted = value.cast<std::string>();
        for (size_t i = 0; i < info.enum_names.size(); ++i)
            if (info.enum_names[i] == wanted)
                return static_cast<int>(i);
        throw py::value_error("'" + wanted + "' is no entry of enum parameter '" + info.name + "'");
    }
    return int_arg(value, "enum parameter '" + info.name + "'");
}

void* to_pointer(const py::handle& value)
{
    if (value.is_none())
        return nullptr;
    if (py::isinstance<Node>(value))
        return value.cast<Node&>().handle;
    throw py::type_error("a pointer parameter takes a node or None");
}

// The type a new user parameter takes from its first value.
int type_of_value(const py::handle& value)
{
    if (py::isinstance<py::bool_>(value)) return AI_TYPE_BOOLEAN;
    if (py::isinstance<py::int_>(value)) return AI_TYPE_INT;
    if (py::isinstance<py::float_>(value)) return AI_TYPE_FLOAT;
    if (py::isinstance<py::str>(value)) return AI_TYPE_STRING;
    if (value.is_none() || py::isinstance<Node>(value)) return AI_TYPE_POINTER;
    if (py::isinstance<py::tuple>(value) || py::isinstance<py::list>(value)) return AI_TYPE_RGB;
    throw py::type_error("a new parameter takes a bool, int, float, str, (r, g, b) or node");
}

Value to_value(int type, const py::handle& value, const ParamInfo* declared)
{
    Value v;
    const char* expected = type_label(type);
    auto mismatch = [&] {
        return py::type_error(std::string("parameter '") + (declared ? declared->name : "") +
                              "' is " + expected);
    };
    switch (type) {
    case AI_TYPE_BOOLEAN:
        if (!py::isinstance<py::bool_>(value)) throw mismatch();
        v.b = value.cast<bool>();
        break;
    case AI_TYPE_INT:
        if (!py::isinstance<py::int_>(value) || py::isinstance<py::bool_>(value)) throw mismatch();
        v.i = int_arg(value, "parameter value");
        break;
    case AI_TYPE_FLOAT:
        if (!is_number(value)) throw mismatch();
        v.f = value.cast<float>();
        break;
    case AI_TYPE_STRING:
        if (!py::isinstance<py::str>(value)) throw mismatch();
        v.s = value.cast<std::string>();
        break;
    case AI_TYPE_ENUM: v.i = enum_index(*declared, value); break;
    case AI_TYPE_RGB: v.rgb = to_rgb(value); break;
    case AI_TYPE_POINTER:
    case AI_TYPE_NODE: v.p = to_pointer(value); break;
    default: throw mismatch();
    }
    return v;
}

py::object get_item(const Node& node, const std::string& name)
{
    ParamInfo info;
    if (!ai_standin::node_parameter(node.handle, name.c_str(), info))
        throw py::key_error("node '" + std::string(AiNodeGetName(node.handle)) + "' has no parameter '" + name + "'");
    return to_python(info);
}

void set_item(Node& node, const std::string& name, const py::handle& value)
{
    ParamInfo declared;
    const bool exists = ai_standin::node_parameter(node.handle, name.c_str(), declared);
    const int type = exists ? declared.type : type_of_value(value);
    const Value v = to_value(type, value, exists ? &declared : nullptr);
    switch (ai_standin::set_parameter(node.handle, name.c_str(), type, v)) {
    case ai_standin::SetResult::set:
    case ai_standin::SetResult::added: return;
    case ai_standin::SetResult::out_of_range:
        throw py::value_error("index " + std::to_string(v.i) + " is outside enum parameter '" + name + "'");
    case ai_standin::SetResult::type_mismatch:
        throw py::type_error("parameter '" + name + "' cannot take this value");
    case ai_standin::SetResult::invalid: break;
    }
    throw py::value_error("invalid parameter name '" + name + "'");
}

// ---- Outputs -----------------------------------------------------------------------------

using FloatArray = py::array_t<float, py::array::c_style | py::array::forcecast>;

// Converted arrays stay referenced here while the driver reads them.
struct Outputs {
    std::vector<Output> list;
    std::vector<FloatArray> arrays;
};

int components_of(int pixel_type, const FloatArray& array, const std::string& name)
{
    const int required = pixel_type == AI_TYPE_FLOAT ? 1
                         : pixel_type == AI_TYPE_RGBA ? 4
                         : (pixel_type == AI_TYPE_RGB || pixel_type == AI_TYPE_VECTOR) ? 3
                                                                                           : 0;
    int components = 0;
    if (array.ndim() == 2)
        components = 1;
    else if (array.ndim() == 3)
        components = static_cast<int>(array.shape(2));
    if (components < 1 || (required && components != required))
        throw py::value_error("output '" + name + "': an array of shape (h, w" +
                              (required == 1 ? std::string(")")
                               : required ? ", " + std::to_string(required) + ")"
                                          : ", k)") +
                              " is needed for pixel type " + std::to_string(pixel_type));
    return components;
}

// outputs: (name, pixel type, array of shape (height, width[, k])) each.
Outputs convert_outputs(const py::sequence& outputs, long height, long width)
{
    Outputs result;
    for (const auto item : outputs) {
        const py::tuple entry = py::reinterpret_borrow<py::object>(item).cast<py::tuple>();
        if (entry.size() != 3)
            throw py::value_error("an output is (name, pixel type, array)");
        Output output;
        output.name = str_arg(entry[0], "an output's name");
        output.pixel_type = int_arg(entry[1], "output '" + output.name + "': the pixel type");
        FloatArray array = FloatArray::ensure(entry[2]);
        if (!array)
            throw py::type_error("output '" + output.name + "': the samples must be a numeric array");
        output.components = components_of(output.pixel_type, array, output.name);
        if (array.shape(0) != height || array.shape(1) != width)
            throw py::value_error("output '" + output.name + "': array of " + std::to_string(array.shape(0)) +
                                  " x " + std::to_string(array.shape(1)) + " pixels where " +
                                  std::to_string(height) + " x " + std::to_string(width) + " are needed");
        output.data = array.data();
        result.list.push_back(std::move(output));
        result.arrays.push_back(std::move(array));
    }
    return result;
}

// For open and close: (name, pixel type[, ignored array]) each, without samples.
std::vector<Output> announced_outputs(const py::object& outputs)
{
    std::vector<Output> result;
    if (outputs.is_none())
        return result;
    for (const auto item : outputs.cast<py::sequence>()) {
        const py::tuple entry = py::reinterpret_borrow<py::object>(item).cast<py::tuple>();
        if (entry.size() < 2)
            throw py::value_error("an output is (name, pixel type[, array])");
        Output output;
        output.name = str_arg(entry[0], "an output's name");
        output.pixel_type = int_arg(entry[1], "output '" + output.name + "': the pixel type");
        result.push_back(std::move(output));
    }
    return result;
}

AtBBox2 to_window(const py::handle& window)
{
    const bool four = py::isinstance<py::sequence>(window) && !py::isinstance<py::str>(window) &&
                      py::len(window) == 4;
    if (four) {
        const py::sequence b = py::reinterpret_borrow<py::sequence>(window);
        const char* what = "a window bound";
        return {int_arg(b[0], what), int_arg(b[1], what), int_arg(b[2], what), int_arg(b[3], what)};
    }
    throw py::value_error("a window is (minx, miny, maxx, maxy), inclusive ints");
}

int resolution(const Node& node, const char* name)
{
    ParamInfo info;
    ai_standin::node_parameter(AiUniverseGetOptions(node.universe->handle), name, info);
    return info.value.i;
}

AtBBox2 full_frame(const Node& node)
{
    return {0, 0, resolution(node, "xres") - 1, resolution(node, "yres") - 1};
}

void check_bucket_size(int bucket_size)
{
    if (bucket_size <= 0)
        throw py::value_error("bucket_size must be above 0");
}

void node_open(Node& node, const py::object& data_window, const py::object& display_window, int bucket_size,
          const py::object& outputs)
{
    check_bucket_size(bucket_size);
    const AtBBox2 data = data_window.is_none() ? full_frame(node) : to_window(data_window);
    const AtBBox2 display = display_window.is_none() ? full_frame(node) : to_window(display_window);
    const std::vector<Output> announced = announced_outputs(outputs);
    py::gil_scoped_release release;
    ai_standin::open_driver(node.handle, announced, display, data, bucket_size);
}

void node_write_bucket(Node& node, int xo, int yo, int size_x, int size_y, const py::sequence& outputs)
{
    if (size_x < 0 || size_y < 0)
        throw py::value_error("bucket sizes must not be negative");
    const Outputs converted = convert_outputs(outputs, size_y, size_x);
    py::gil_scoped_release release;
    ai_standin::write_bucket(node.handle, converted.list, xo, yo, size_x, size_y);
}

void node_close(Node& node, const py::object& outputs)
{
    const std::vector<Output> announced = announced_outputs(outputs);
    py::gil_scoped_release release;
    ai_standin::close_driver(node.handle, announced);
}

bool window_inside(const AtBBox2& w, const AtBBox2& frame)
{
    return w.minx >= frame.minx && w.miny >= frame.miny && w.minx <= w.maxx && w.miny <= w.maxy &&
           w.maxx <= frame.maxx && w.maxy <= frame.maxy;
}

int universe_render(Universe& universe, Node& node, const py::sequence& outputs, const py::object& data_window,
           int bucket_size, int threads)
{
    if (node.universe.get() != &universe)
        throw py::value_error("the node belongs to another universe");
    check_bucket_size(bucket_size);
    if (threads <= 0)
        throw py::value_error("threads must be above 0");
    const AtBBox2 frame = full_frame(node);
    const AtBBox2 window = data_window.is_none() ? frame : to_window(data_window);
    if (!window_inside(window, frame))
        throw py::value_error("the data window must be a non-empty window inside the frame");
    const Outputs converted = convert_outputs(outputs, frame.maxy + 1, frame.maxx + 1);
    py::gil_scoped_release release;
    return ai_standin::render(node.handle, converted.list, window, bucket_size, threads);
}

// ---- Camera ------------------------------------------------------------------------------

using Vec3 = std::array<double, 3>;

Vec3 vec3_arg(const py::handle& value, const char* what)
{
    if (!py::isinstance<py::sequence>(value) || py::isinstance<py::str>(value) || py::len(value) != 3)
        throw py::value_error(std::string(what) + " is (x, y, z)");
    const py::sequence seq = py::reinterpret_borrow<py::sequence>(value);
    for (const auto item : seq)
        if (!is_number(item))
            throw py::type_error(std::string(what) + " is (x, y, z), three numbers");
    return {seq[0].cast<double>(), seq[1].cast<double>(), seq[2].cast<double>()};
}

Vec3 sub(const Vec3& a, const Vec3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Vec3 cross(const Vec3& a, const Vec3& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
Vec3 normalized(const Vec3& v, const char* what)
{
    const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length == 0.0)
        throw py::value_error(std::string("degenerate camera placement: ") + what);
    return {v[0] / length, v[1] / length, v[2] / length};
}

// Camera-to-world of a camera at `position` looking at `look_at` (down its -Z).
AtMatrix look_at_matrix(const Vec3& position, const Vec3& target, const Vec3& up)
{
    const Vec3 z = normalized(sub(position, target), "position equals look_at");
    const Vec3 x = normalized(cross(up, z), "up is parallel to the view direction");
    const Vec3 y = cross(z, x);
    AtMatrix m = AiM4Identity();
    for (int i = 0; i < 3; ++i) {
        m[0][i] = static_cast<float>(x[i]);
        m[1][i] = static_cast<float>(y[i]);
        m[2][i] = static_cast<float>(z[i]);
        m[3][i] = static_cast<float>(position[i]);
    }
    return m;
}

AtMatrix to_matrix(const py::handle& value)
{
    const FloatArray array = FloatArray::ensure(value);
    if (!array || array.ndim() != 2 || array.shape(0) != 4 || array.shape(1) != 4)
        throw py::value_error("a matrix is a 4 x 4 array");
    AtMatrix m;
    std::memcpy(m.data, array.data(), sizeof m.data);
    return m;
}

py::array_t<float> from_matrix(const AtMatrix& m)
{
    py::array_t<float> array({4, 4});
    std::memcpy(array.mutable_data(), m.data, sizeof m.data);
    return array;
}

void set_camera(Universe& universe, const py::object& position, const py::object& look_at, float fov,
                const py::object& up_arg, const py::object& matrix)
{
    AtMatrix camera_to_world;
    if (!matrix.is_none()) {
        if (!position.is_none() || !look_at.is_none())
            throw py::value_error("give either matrix or position and look_at");
        camera_to_world = to_matrix(matrix);
    } else {
        const Vec3 from = position.is_none() ? Vec3{0, 0, 0} : vec3_arg(position, "position");
        const Vec3 to = look_at.is_none() ? Vec3{from[0], from[1], from[2] - 1} : vec3_arg(look_at, "look_at");
        camera_to_world = look_at_matrix(from, to, vec3_arg(up_arg, "up"));
    }
    if (!(fov > 0.0f && fov < 180.0f))
        throw py::value_error("fov must lie between 0 and 180 degrees");
    if (!ai_standin::set_camera(universe.handle, camera_to_world, fov))
        throw py::value_error("the universe has no camera");
}

py::list log_list(const Universe& universe)
{
    static const char* const kSeverity[] = {"info", "warning", "error", "fatal", "debug"};
    py::list result;
    for (const ai_standin::LogLine& line : ai_standin::log_lines(universe.handle)) {
        const int s = line.severity;
        result.append(py::make_tuple(s >= 0 && s <= 4 ? kSeverity[s] : "info", decoded(line.text)));
    }
    return result;
}

std::array<float, 4> color_transform(const std::array<float, 4>& rgba, const std::string& space)
{
    AtRGBA pixel{rgba[0], rgba[1], rgba[2], rgba[3]};
    if (!AiColorManagerTransform(nullptr, AtString(space.c_str()), true, true, nullptr, &pixel,
                                 nullptr, nullptr, nullptr))
        throw py::value_error("unknown colour space '" + space + "'");
    return {pixel.r, pixel.g, pixel.b, pixel.a};
}

}  // namespace

PYBIND11_MODULE(arnold_standin, m)
{
    m.doc() = "Control module of the renderer stand-in: plug-ins, universes, driver nodes, renders.";
    // What pybind11 cannot convert is a wrong argument type, not a runtime fault.
    py::register_exception_translator([](std::exception_ptr error) {
        try {
            if (error)
                std::rethrow_exception(error);
        } catch (const py::cast_error& e) {
            PyErr_SetString(PyExc_TypeError, e.what());
        }
    });
    m.attr("FLOAT") = AI_TYPE_FLOAT;
    m.attr("RGB") = AI_TYPE_RGB;
    m.attr("RGBA") = AI_TYPE_RGBA;
    m.attr("VECTOR") = AI_TYPE_VECTOR;

    py::class_<Plugin>(m, "Plugin")
        .def_readonly("path", &Plugin::path)
        .def("node_loader", &call_node_loader, py::arg("index"))
        .def_property_readonly("name", [](const Plugin& p) {
            const char* name = p.entry().name;
            return decoded(name ? name : "");
        })
        .def_property_readonly("version", [](const Plugin& p) {
            return decoded(fixed_text(p.entry().version, AI_MAXSIZE_VERSION));
        })
        .def_property_readonly("node_type", [](const Plugin& p) { return p.entry().node_type; })
        .def_property_readonly("output_type", [](const Plugin& p) { return static_cast<int>(p.entry().output_type); })
        .def("parameters", [](const Plugin& p) { return parameter_list(ai_standin::declared_parameters(p.entry()), false); })
        .def("method_slots", &method_slots)
        // The node argument of these driver methods is null: they are asked of the type.
        .def("supports_pixel_type", [](const Plugin& p, int code) {
            if (code < 0 || code > 255)
                throw py::value_error("a pixel type code is 0 to 255");
            const auto slot = require(p.driver_methods().DriverSupportsPixelType, "DriverSupportsPixelType");
            return slot(nullptr, static_cast<uint8_t>(code));
        }, py::arg("code"))
        .def("needs_bucket", [](const Plugin& p, int xo, int yo, int sx, int sy, int tid) {
            const auto slot = require(p.driver_methods().DriverNeedsBucket, "DriverNeedsBucket");
            return slot(nullptr, xo, yo, sx, sy, static_cast<uint16_t>(tid));
        }, py::arg("xo") = 0, py::arg("yo") = 0, py::arg("size_x") = 64, py::arg("size_y") = 64, py::arg("tid") = 0)
        .def("extension", [](const Plugin& p) -> py::object {
            const char** names = require(p.driver_methods().DriverExtension, "DriverExtension")();
            if (!names)
                return py::none();
            py::list result;
            for (const char** name = names; *name; ++name)
                result.append(decoded(*name));
            return result;
        });

    m.def("load_plugin", &load_plugin, py::arg("path"));

    py::class_<Node>(m, "Node")
        .def_property_readonly("name", [](const Node& n) { return decoded(AiNodeGetName(n.handle)); })
        .def("__getitem__", &get_item)
        .def("__setitem__", &set_item)
        .def("__contains__", [](const Node& n, const std::string& name) {
            ParamInfo info;
            return ai_standin::node_parameter(n.handle, name.c_str(), info);
        })
        .def("parameters", [](const Node& n) { return parameter_list(ai_standin::current_parameters(n.handle), true); })
        .def("open", &node_open, py::arg("data_window") = py::none(), py::arg("display_window") = py::none(),
             py::arg("bucket_size") = 64, py::arg("outputs") = py::none())
        .def("write_bucket", &node_write_bucket, py::arg("xo"), py::arg("yo"), py::arg("size_x"), py::arg("size_y"),
             py::arg("outputs"))
        .def("close", &node_close, py::arg("outputs") = py::none())
        .def("__repr__", [](const Node& n) { return decoded("<Node '" + std::string(AiNodeGetName(n.handle)) + "'>"); });

    py::class_<Universe, std::shared_ptr<Universe>>(m, "Universe")
        .def(py::init([](int xres, int yres, const std::optional<std::string>& camera, bool color_manager) {
                 if (xres <= 0 || yres <= 0)
                     throw py::value_error("xres and yres must be above 0");
                 if (camera && camera->empty())
                     throw py::value_error("a camera needs a name (None: no camera)");
                 return std::make_shared<Universe>(ai_standin::create_universe(
                     xres, yres, camera ? camera->c_str() : nullptr, color_manager));
             }),
             py::arg("xres") = 640, py::arg("yres") = 480, py::arg("camera") = "persp",
             py::arg("color_manager") = true)
        .def("create_driver", [](const std::shared_ptr<Universe>& u, const Plugin& plugin, const py::object& name_object) {
            const std::string name = name_arg(name_object);
            AtNode* node = ai_standin::create_node(u->handle, plugin.entry(), name.c_str());
            if (!node)
                throw py::value_error("cannot create node '" + name + "' (see the universe's log)");
            return Node{u, node};
        }, py::arg("plugin"), py::arg("name"))
        .def_property_readonly("options", [](const std::shared_ptr<Universe>& u) {
            return Node{u, AiUniverseGetOptions(u->handle)};
        })
        .def_property_readonly("camera", [](const std::shared_ptr<Universe>& u) -> py::object {
            AtNode* cam = ai_standin::camera(u->handle);
            return cam ? py::cast(Node{u, cam}) : py::none();
        })
        .def_property_readonly("aovs", [](const Universe& u) {
            py::list result;
            for (const ai_standin::Aov& aov : ai_standin::aovs(u.handle))
                result.append(py::make_tuple(aov.name, aov.type, aov.blend));
            return result;
        })
        .def_property_readonly("setup_calls", [](const Universe& u) { return ai_standin::setup_calls(u.handle); })
        .def_property_readonly("log", &log_list)
        .def("clear_log", [](Universe& u) { ai_standin::clear_log(u.handle); })
        .def_property_readonly("allocations_outstanding", [](const Universe& u) { return ai_standin::allocations_outstanding_in(u.handle); })
        .def("set_camera", &set_camera, py::arg("position") = py::none(), py::arg("look_at") = py::none(),
             py::arg("fov") = 54.43f, py::arg("up") = py::make_tuple(0, 1, 0), py::arg("matrix") = py::none())
        .def("matrices", [](const Universe& u) {
            AtMatrix world_to_camera, world_to_screen;
            ai_standin::camera_matrices(u.handle, world_to_camera, world_to_screen);
            return py::make_tuple(from_matrix(world_to_camera), from_matrix(world_to_screen));
        })
        .def("render", &universe_render, py::arg("node"), py::arg("outputs"), py::arg("data_window") = py::none(),
             py::arg("bucket_size") = 64, py::arg("threads") = 4);

    m.def("fail", [](const std::string& operation) {
        if (!ai_standin::fail(operation.c_str()))
            throw py::value_error("'" + operation + "' cannot be made to fail");
    }, py::arg("operation"));
    m.def("reset_failures", &ai_standin::reset_failures);
    m.def("failable_operations", &ai_standin::failable_operations);
    m.def("quantize8bit", [](int x, int y, int channel, float value, bool dither) {
        return static_cast<int>(AiQuantize8bit(x, y, channel, value, dither));
    }, py::arg("x"), py::arg("y"), py::arg("channel"), py::arg("value"), py::arg("dither"));
    m.def("color_transform", &color_transform, py::arg("rgba"), py::arg("space"));
    m.def("bucket_grid", [](const py::handle& window, int bucket_size) {
        check_bucket_size(bucket_size);
        py::list result;
        for (const AtBBox2& b : ai_standin::bucket_grid(to_window(window), bucket_size))
            result.append(py::make_tuple(b.minx, b.miny, b.maxx - b.minx + 1, b.maxy - b.miny + 1));
        return result;
    }, py::arg("window"), py::arg("bucket_size"));
}
