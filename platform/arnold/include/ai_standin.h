#pragma once
// Control interface of the renderer stand-in, for test hosts and the Python
// module arnold_standin. Not part of the renderer API: drivers never include it.

#include <cstddef>
#include <string>
#include <vector>

#include "ai_bbox.h"
#include "ai_color.h"
#include "ai_matrix.h"
#include "ai_params.h"
#include "ai_plugins.h"

// The control interface is C++: exported with its own macro, apart from the renderer API
// and its C linkage.
#define AI_STANDIN_API __attribute__((visibility("default")))

struct AtNode;
class AtUniverse;

// A plug-in library's NodeLoader, as a host finds it by name.
typedef bool (*AtNodeLoaderFunc)(int i, AtNodeLib* node);

namespace ai_standin {

struct LogLine {
    int severity;  // a Severity
    std::string text;
};

// The renderer's severity codes, and debug lines (AiMsgDebug) apart from the info lines.
enum Severity {
    SEVERITY_INFO = 0,
    SEVERITY_WARNING = 1,
    SEVERITY_ERROR = 2,
    SEVERITY_FATAL = 3,
    SEVERITY_DEBUG = 4
};

// A universe with its options node (xres, yres, camera, color_manager). With a
// camera name, a perspective camera of that name stands at the origin looking
// down -Z; with color_manager, the options hold the stand-in's colour manager.
AI_STANDIN_API AtUniverse* create_universe(int xres, int yres,
                                           const char* camera_name /* null: no camera */,
                                           bool color_manager);
// Runs Finish on every node made from a plug-in, then frees the universe.
AI_STANDIN_API void destroy_universe(AtUniverse* universe);
// Declares the parameters, then runs Initialize. Null when the record has no
// methods, or the name is empty or already taken in the universe.
AI_STANDIN_API AtNode* create_node(AtUniverse* universe, const AtNodeLib& lib, const char* name);
AI_STANDIN_API std::vector<LogLine> log_lines(const AtUniverse* universe);
AI_STANDIN_API void clear_log(AtUniverse* universe);
// Blocks from AiMalloc not yet freed: in the whole process, or those that the
// universe's node methods took.
AI_STANDIN_API size_t allocations_outstanding();
AI_STANDIN_API size_t allocations_outstanding_in(const AtUniverse* universe);

// ---- Parameters ------------------------------------------------------------

// One parameter value; the field that counts follows the type (ENUM: index).
struct Value {
    bool b = false;
    int i = 0;
    float f = 0.0f;
    AtRGB rgb{0.0f, 0.0f, 0.0f};
    std::string s;
    void* p = nullptr;
};

struct ParamInfo {
    std::string name;
    int type = AI_TYPE_NONE;               // AI_TYPE_BOOLEAN, AI_TYPE_INT, ...
    Value value;                           // the default in a declaration, else the current value
    std::vector<std::string> enum_names;   // ENUM only
    bool user = false;                     // added to the node, not declared by its type
};

// Runs the record's Parameters slot on a fresh parameter list and returns
// every declaration in order (duplicates included, as declared).
AI_STANDIN_API std::vector<ParamInfo> declared_parameters(const AtNodeLib& lib);

AI_STANDIN_API std::vector<ParamInfo> current_parameters(const AtNode* node);
AI_STANDIN_API bool node_parameter(const AtNode* node, const char* name, ParamInfo& out);

enum class SetResult { set, added, type_mismatch, out_of_range, invalid };
// Sets a parameter; a name the node lacks becomes a user parameter of the given
// type. A declared parameter keeps its type (INT and ENUM take value.i).
AI_STANDIN_API SetResult set_parameter(AtNode* node, const char* name, int type,
                                       const Value& value);

// ---- Universe ----------------------------------------------------------------

struct Aov {
    std::string name;
    int type;
    int blend;
};
AI_STANDIN_API std::vector<Aov> aovs(const AtUniverse* universe);

// AiAOVRegister and AiDriverInitialize calls, in order, as readable lines:
// "AiAOVRegister Z 4 0", "AiDriverInitialize aiDriver1 false".
AI_STANDIN_API std::vector<std::string> setup_calls(const AtUniverse* universe);

// The options' camera; null when the universe has none.
AI_STANDIN_API AtNode* camera(const AtUniverse* universe);
// Places the camera: camera-to-world matrix (row vectors, translation in row 3)
// and horizontal field of view in degrees. False when there is no camera.
AI_STANDIN_API bool set_camera(AtUniverse* universe, const AtMatrix& camera_to_world,
                               float fov_degrees);
// What AiDriverGetMatrices gives during a render of this universe.
AI_STANDIN_API bool camera_matrices(const AtUniverse* universe, AtMatrix& world_to_camera,
                                    AtMatrix& world_to_screen);

// ---- Driving a driver node ---------------------------------------------------------

// One output handed to the driver. For open/close data may be null; for a
// bucket it points at size_x * size_y * components floats, row-major; for a
// frame at xres * yres * components floats.
struct Output {
    std::string name;
    int pixel_type = AI_TYPE_RGBA;
    int components = 4;
    const float* data = nullptr;
};

// Direct calls of the driver methods on the calling thread; the node's
// universe receives the log lines and answers AiDriverGetMatrices.
AI_STANDIN_API void open_driver(AtNode* node, const std::vector<Output>& outputs,
                                AtBBox2 display_window, AtBBox2 data_window, int bucket_size);
AI_STANDIN_API void write_bucket(AtNode* node, const std::vector<Output>& outputs, int xo, int yo,
                                 int size_x, int size_y);
AI_STANDIN_API void close_driver(AtNode* node, const std::vector<Output>& outputs);

// The buckets covering an inclusive window in steps of bucket_size from its
// minx/miny, row by row; the last row and column are clipped to the window.
AI_STANDIN_API std::vector<AtBBox2> bucket_grid(AtBBox2 window, int bucket_size);

// A whole render of frame outputs (xres * yres pixels each): open, every
// bucket of the grid on `threads` workers (needs / prepare / process / write,
// prepare and write serialised), close. Returns the number of buckets written.
AI_STANDIN_API int render(AtNode* node, const std::vector<Output>& frame_outputs,
                          AtBBox2 data_window, int bucket_size, int threads);

// ---- Failure injection ---------------------------------------------------------------

// Makes an operation fail, process-wide, until reset_failures: "AiMalloc"
// returns null, "AiDriverGetMatrices" gives identities and false,
// "AiAOVRegister" refuses, "AiColorManagerTransform" writes no pixel and
// returns false. False for an operation that cannot be made to fail.
AI_STANDIN_API bool fail(const char* operation);
AI_STANDIN_API void reset_failures();
AI_STANDIN_API std::vector<std::string> failable_operations();

}  // namespace ai_standin
