// Universes, their options node, node creation and driver set-up.

#include <cstring>

#include "internal.h"

using ai_standin::Value;

namespace {

void add_builtin_param(AtNode* node, const char* name, int type, const Value& value)
{
    StoredParam param;
    param.name = standin::intern(name);
    param.type = type;
    standin::store_value(param, value);
    node->params.push_back(std::move(param));
}

Value int_value(int i)
{
    Value v;
    v.i = i;
    return v;
}

Value ptr_value(void* p)
{
    Value v;
    v.p = p;
    return v;
}

bool name_taken(const AtUniverse* universe, const std::string& name)
{
    for (const auto& node : universe->nodes)
        if (node->name == name)
            return true;
    return false;
}

std::shared_ptr<AtNodeEntry> make_entry(const AtNodeLib& lib)
{
    auto entry = std::make_shared<AtNodeEntry>();
    entry->name = lib.name ? lib.name : "";
    entry->node_type = lib.node_type;
    const AtNodeMethods* methods = standin::methods_of(lib);
    entry->cmethods = methods->cmethods;
    entry->dmethods = static_cast<const AtDriverNodeMethods*>(methods->dmethods);
    return entry;
}

}  // namespace

namespace standin {

AtNode* add_node(AtUniverse* universe, const std::string& name, int kind)
{
    auto node = std::make_unique<AtNode>();
    node->universe = universe;
    node->name = name;
    node->kind = kind;
    node->camera.camera_to_world = AiM4Identity();
    AtNode* raw = node.get();
    std::lock_guard lock(universe->mutex);
    universe->nodes.push_back(std::move(node));
    return raw;
}

}  // namespace standin

AI_API AtNode* AiUniverseGetOptions(const AtUniverse* universe)
{
    return universe ? universe->options : nullptr;
}

AI_API void AiDriverInitialize(AtNode* node, bool supports_multiple_outputs)
{
    if (!node)
        return;
    std::lock_guard lock(node->universe->mutex);
    node->universe->setup_calls.push_back("AiDriverInitialize " + node->name +
                                          (supports_multiple_outputs ? " true" : " false"));
}

// Registers into the universe whose node is being initialised on this thread
// (else the most recent one). The registry holds each name once: the same name
// and type again is accepted (and shows in the set-up calls); another type
// under a registered name is refused.
AI_API bool AiAOVRegister(const char* name, uint8_t type, int blend_mode)
{
    if (standin::failing("AiAOVRegister"))
        return false;
    AtUniverse* universe = standin::acting_universe();
    if (!universe || !name || !*name) {
        standin::log_to(universe, ai_standin::SEVERITY_WARNING,
                        "%sAiAOVRegister: %s", standin::kOwnPrefix,
                        universe ? "AOV without a name" : "no universe is being set up");
        return false;
    }
    std::unique_lock lock(universe->mutex);
    bool registered = false;
    for (const ai_standin::Aov& aov : universe->aovs) {
        if (aov.name != name)
            continue;
        if (aov.type != type) {
            lock.unlock();
            standin::log_to(universe, ai_standin::SEVERITY_WARNING,
                            "%sAiAOVRegister: AOV '%s' is already registered as %s",
                            standin::kOwnPrefix, name, standin::type_name(aov.type));
            return false;
        }
        registered = true;
    }
    if (!registered)
        universe->aovs.push_back({name, type, blend_mode});
    universe->setup_calls.push_back("AiAOVRegister " + std::string(name) + " " +
                                    std::to_string(type) + " " + std::to_string(blend_mode));
    return true;
}

namespace ai_standin {

AI_API AtUniverse* create_universe(int xres, int yres, const char* camera_name, bool color_manager)
{
    auto* universe = new AtUniverse;
    universe->session.universe = universe;
    AtNode* options = standin::add_node(universe, "options", AI_NODE_OPTIONS);
    universe->options = options;
    if (camera_name) {
        universe->camera = standin::add_node(universe, camera_name, AI_NODE_CAMERA);
    }
    if (color_manager) {
        universe->color_manager = standin::add_node(universe, "color_manager", AI_NODE_COLOR_MANAGER);
    }
    add_builtin_param(options, "xres", AI_TYPE_INT, int_value(xres));
    add_builtin_param(options, "yres", AI_TYPE_INT, int_value(yres));
    add_builtin_param(options, "camera", AI_TYPE_POINTER, ptr_value(universe->camera));
    add_builtin_param(options, "color_manager", AI_TYPE_POINTER, ptr_value(universe->color_manager));
    standin::register_universe(universe);
    return universe;
}

AI_API void destroy_universe(AtUniverse* universe)
{
    if (!universe)
        return;
    {
        standin::UniverseScope scope(universe);
        for (const auto& node : universe->nodes) {
            const AtNodeEntry* entry = node->entry.get();
            if (entry && entry->cmethods && entry->cmethods->Finish)
                entry->cmethods->Finish(node.get());
        }
    }
    standin::unregister_universe(universe);
    delete universe;
}

AI_API AtNode* create_node(AtUniverse* universe, const AtNodeLib& lib, const char* name)
{
    const AtNodeMethods* methods = standin::methods_of(lib);
    if (!universe || !name || !*name || !methods || !methods->cmethods) {
        standin::log_to(universe, SEVERITY_ERROR, "%screate_node: %s", standin::kOwnPrefix,
                        (!name || !*name) ? "a node needs a name" : "the plug-in record has no methods");
        return nullptr;
    }
    {
        std::lock_guard lock(universe->mutex);
        if (name_taken(universe, name)) {
            standin::log_to(universe, SEVERITY_ERROR, "%screate_node: a node named '%s' exists already",
                            standin::kOwnPrefix, name);
            return nullptr;
        }
    }
    standin::UniverseScope scope(universe);
    std::shared_ptr<AtNodeEntry> entry = make_entry(lib);
    AtNode* node = standin::add_node(universe, name, lib.node_type);
    node->entry = entry;
    standin::install_declarations(node, declared_parameters(lib));
    if (entry->cmethods->Initialize)
        entry->cmethods->Initialize(&universe->session, node);
    return node;
}

AI_API std::vector<Aov> aovs(const AtUniverse* universe)
{
    if (!universe)
        return {};
    std::lock_guard lock(universe->mutex);
    return universe->aovs;
}

AI_API std::vector<std::string> setup_calls(const AtUniverse* universe)
{
    if (!universe)
        return {};
    std::lock_guard lock(universe->mutex);
    return universe->setup_calls;
}

}  // namespace ai_standin
