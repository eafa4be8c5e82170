#pragma once
// Internal state of the stand-in runtime: universes, nodes, parameters, the
// per-universe log and the thread's current universe.

#include <atomic>
#include <cstdarg>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <vector>

#include "ai.h"
#include "ai_standin.h"

// In the runtime's definitions AI_API only exports: each function keeps the linkage that
// its header gives it, C for the renderer API and C++ for the control interface.
#undef AI_API
#define AI_API __attribute__((visibility("default")))

// One declared or user parameter and its current value.
struct StoredParam {
    const char* name = nullptr;  // interned: looked up by pointer
    int type = AI_TYPE_NONE;
    ai_standin::Value value;
    const char* str = nullptr;   // interned copy of value.s, what AiNodeGetStr hands out
    std::vector<std::string> enum_names;
    bool user = false;
};

// What Parameters collects.
struct AtList {
    std::vector<ai_standin::ParamInfo> declarations;
};

// A node type as built from a plug-in record.
struct AtNodeEntry {
    std::string name;
    int node_type = AI_NODE_UNDEFINED;
    const AtCommonMethods* cmethods = nullptr;
    const AtDriverNodeMethods* dmethods = nullptr;
};

class AtRenderSession {
public:
    AtUniverse* universe = nullptr;
};

struct CameraData {
    AtMatrix camera_to_world;
    float fov_degrees = 54.43f;  // horizontal field of view
};

struct AtNode {
    AtUniverse* universe = nullptr;
    std::string name;
    int kind = AI_NODE_UNDEFINED;
    std::shared_ptr<const AtNodeEntry> entry;  // null for the universe's own nodes
    CameraData camera;

    mutable std::shared_mutex mutex;  // guards params
    std::vector<StoredParam> params;
};

// One universe's log; shared so that a line being written survives a
// universe that is destroyed meanwhile.
struct LogStore {
    std::mutex mutex;
    std::vector<ai_standin::LogLine> lines;
};

class AtUniverse {
public:
    std::shared_ptr<LogStore> log = std::make_shared<LogStore>();
    // Blocks that this universe's node methods took from AiMalloc and have not freed;
    // shared with those blocks, which may be freed after the universe is gone.
    std::shared_ptr<std::atomic<size_t>> allocations = std::make_shared<std::atomic<size_t>>(0);
    AtRenderSession session;

    mutable std::mutex mutex;  // guards nodes, aovs, setup_calls
    std::vector<std::unique_ptr<AtNode>> nodes;
    std::vector<ai_standin::Aov> aovs;
    std::vector<std::string> setup_calls;

    AtNode* options = nullptr;
    AtNode* camera = nullptr;
    AtNode* color_manager = nullptr;
};

namespace standin {

// The method tables of a plug-in's record; null when the record has none.
inline const AtNodeMethods* methods_of(const AtNodeLib& lib)
{
    return static_cast<const AtNodeMethods*>(lib.methods);
}

// The universe that node methods run for on this thread (null: none).
AtUniverse* current_universe();

// Sets the thread's current universe for its lifetime, restoring the previous one.
class UniverseScope {
public:
    explicit UniverseScope(AtUniverse* universe);
    ~UniverseScope();
    UniverseScope(const UniverseScope&) = delete;
    UniverseScope& operator=(const UniverseScope&) = delete;

private:
    AtUniverse* previous_;
};

// The thread's current universe, else the most recently created universe
// still alive; null when there is none.
AtUniverse* acting_universe();

// Log of the thread's current universe, else of the most recently created
// universe still alive; null when there is none.
std::shared_ptr<LogStore> target_log();

void append_log(LogStore& log, int severity, std::string text);
void log_to(AtUniverse* universe, int severity, const char* format, ...) AI_PRINTF_ARGS(3, 4);
std::string vformat(const char* format, va_list args);

// The stand-in's own warnings carry this prefix.
constexpr const char* kOwnPrefix = "[ai_standin] ";

StoredParam* find_param(AtNode* node, const char* interned_name);
const StoredParam* find_param(const AtNode* node, const char* interned_name);
void store_value(StoredParam& param, const ai_standin::Value& value);

const char* intern(const char* text);

// True while a test makes the named renderer operation fail.
bool failing(const char* operation);
const char* type_name(int type);

AtNode* add_node(AtUniverse* universe, const std::string& name, int kind);
void install_declarations(AtNode* node, const std::vector<ai_standin::ParamInfo>& declarations);

void register_universe(AtUniverse* universe);
void unregister_universe(AtUniverse* universe);

}  // namespace standin
