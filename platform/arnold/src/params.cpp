// Parameter declaration, the node's parameter store, and node queries.

#include <algorithm>
#include <initializer_list>

#include "internal.h"

using ai_standin::ParamInfo;
using ai_standin::SetResult;
using ai_standin::Value;

namespace {

void declare(AtList* params, const char* name, int type, Value value,
             std::vector<std::string> enum_names = {})
{
    if (!params)
        return;
    if (!name || !*name) {
        standin::log_to(nullptr, ai_standin::SEVERITY_WARNING,
                        "%sparameter declaration without a name ignored", standin::kOwnPrefix);
        return;
    }
    ParamInfo info;
    info.name = name;
    info.type = type;
    info.value = std::move(value);
    info.enum_names = std::move(enum_names);
    params->declarations.push_back(std::move(info));
}

bool type_accepted(int type, std::initializer_list<int> accepted)
{
    return std::find(accepted.begin(), accepted.end(), type) != accepted.end();
}

// Reads one parameter for AiNodeGet*: the type's zero value and a warning of
// the stand-in's own when the node lacks the parameter or it has another type.
template <class T, class Read>
T read_param(const AtNode* node, const AtString& name, const char* function,
             std::initializer_list<int> accepted, Read read)
{
    const char* shown = name.c_str() ? name.c_str() : "(null)";
    if (!node) {
        standin::log_to(nullptr, ai_standin::SEVERITY_WARNING, "%s%s: null node (parameter '%s')",
                        standin::kOwnPrefix, function, shown);
        return T{};
    }
    {
        std::shared_lock lock(node->mutex);
        const StoredParam* param = standin::find_param(node, name.c_str());
        if (param && type_accepted(param->type, accepted))
            return read(*param);
        if (param) {
            standin::log_to(node->universe, ai_standin::SEVERITY_WARNING,
                            "%s%s: parameter '%s' of node '%s' is of type %s", standin::kOwnPrefix,
                            function, shown, node->name.c_str(), standin::type_name(param->type));
            return T{};
        }
    }
    standin::log_to(node->universe, ai_standin::SEVERITY_WARNING,
                    "%s%s: node '%s' has no parameter '%s'", standin::kOwnPrefix, function,
                    node->name.c_str(), shown);
    return T{};
}

ParamInfo describe(const StoredParam& param)
{
    ParamInfo info;
    info.name = param.name;
    info.type = param.type;
    info.value = param.value;
    info.enum_names = param.enum_names;
    info.user = param.user;
    return info;
}

bool user_type_allowed(int type)
{
    return type_accepted(type, {AI_TYPE_BOOLEAN, AI_TYPE_INT, AI_TYPE_FLOAT, AI_TYPE_STRING,
                                AI_TYPE_RGB, AI_TYPE_POINTER});
}

}  // namespace

namespace standin {

const char* type_name(int type)
{
    switch (type) {
    case AI_TYPE_BYTE: return "BYTE";
    case AI_TYPE_INT: return "INT";
    case AI_TYPE_UINT: return "UINT";
    case AI_TYPE_BOOLEAN: return "BOOL";
    case AI_TYPE_FLOAT: return "FLOAT";
    case AI_TYPE_RGB: return "RGB";
    case AI_TYPE_RGBA: return "RGBA";
    case AI_TYPE_VECTOR: return "VECTOR";
    case AI_TYPE_VECTOR2: return "VECTOR2";
    case AI_TYPE_STRING: return "STRING";
    case AI_TYPE_POINTER: return "POINTER";
    case AI_TYPE_NODE: return "NODE";
    case AI_TYPE_ARRAY: return "ARRAY";
    case AI_TYPE_MATRIX: return "MATRIX";
    case AI_TYPE_ENUM: return "ENUM";
    default: return "NONE";
    }
}

StoredParam* find_param(AtNode* node, const char* interned_name)
{
    for (StoredParam& param : node->params)
        if (param.name == interned_name)
            return &param;
    return nullptr;
}

const StoredParam* find_param(const AtNode* node, const char* interned_name)
{
    return find_param(const_cast<AtNode*>(node), interned_name);
}

void store_value(StoredParam& param, const Value& value)
{
    param.value = value;
    param.str = intern(value.s.c_str());
}

// Builds the node's store from its type's declarations; a name declared twice
// keeps its first declaration.
void install_declarations(AtNode* node, const std::vector<ParamInfo>& declarations)
{
    std::unique_lock lock(node->mutex);
    for (const ParamInfo& info : declarations) {
        const char* name = intern(info.name.c_str());
        if (find_param(node, name)) {
            log_to(node->universe, ai_standin::SEVERITY_WARNING,
                   "%snode type '%s': parameter '%s' declared twice, the first declaration holds",
                   kOwnPrefix, node->entry ? node->entry->name.c_str() : "", name);
            continue;
        }
        StoredParam param;
        param.name = name;
        param.type = info.type;
        param.enum_names = info.enum_names;
        store_value(param, info.value);
        node->params.push_back(std::move(param));
    }
}

}  // namespace standin

// ---- Declarations ------------------------------------------------------------

AI_API void AiNodeParamBool(AtList* params, int, const char* name, bool default_value)
{
    Value v;
    v.b = default_value;
    declare(params, name, AI_TYPE_BOOLEAN, v);
}

AI_API void AiNodeParamInt(AtList* params, int, const char* name, int default_value)
{
    Value v;
    v.i = default_value;
    declare(params, name, AI_TYPE_INT, v);
}

AI_API void AiNodeParamFlt(AtList* params, int, const char* name, float default_value)
{
    Value v;
    v.f = default_value;
    declare(params, name, AI_TYPE_FLOAT, v);
}

AI_API void AiNodeParamStr(AtList* params, int, const char* name, AtString default_value)
{
    Value v;
    v.s = default_value.c_str() ? default_value.c_str() : "";
    declare(params, name, AI_TYPE_STRING, v);
}

AI_API void AiNodeParamRGB(AtList* params, int, const char* name, float r, float g, float b)
{
    Value v;
    v.rgb = {r, g, b};
    declare(params, name, AI_TYPE_RGB, v);
}

AI_API void AiNodeParamPtr(AtList* params, int, const char* name, void* default_value)
{
    Value v;
    v.p = default_value;
    declare(params, name, AI_TYPE_POINTER, v);
}

AI_API void AiNodeParamEnum(AtList* params, int, const char* name, int default_index,
                            const char** enum_names)
{
    std::vector<std::string> names;
    for (const char** entry = enum_names; entry && *entry; ++entry)
        names.emplace_back(*entry);
    if (default_index < 0 || static_cast<size_t>(default_index) >= names.size()) {
        standin::log_to(nullptr, ai_standin::SEVERITY_WARNING,
                        "%senum parameter '%s': default index %d outside its %zu entries",
                        standin::kOwnPrefix, name ? name : "(null)", default_index, names.size());
    }
    Value v;
    v.i = default_index;
    declare(params, name, AI_TYPE_ENUM, v, std::move(names));
}

// ---- Queries -----------------------------------------------------------------

AI_API const char* AiNodeGetName(const AtNode* node)
{
    return node ? node->name.c_str() : nullptr;
}

AI_API AtUniverse* AiNodeGetUniverse(const AtNode* node)
{
    return node ? node->universe : nullptr;
}

AI_API bool AiNodeGetBool(const AtNode* node, const AtString param)
{
    return read_param<bool>(node, param, "AiNodeGetBool", {AI_TYPE_BOOLEAN},
                            [](const StoredParam& p) { return p.value.b; });
}

AI_API int AiNodeGetInt(const AtNode* node, const AtString param)
{
    return read_param<int>(node, param, "AiNodeGetInt", {AI_TYPE_INT, AI_TYPE_ENUM},
                           [](const StoredParam& p) { return p.value.i; });
}

AI_API float AiNodeGetFlt(const AtNode* node, const AtString param)
{
    return read_param<float>(node, param, "AiNodeGetFlt", {AI_TYPE_FLOAT},
                             [](const StoredParam& p) { return p.value.f; });
}

AI_API AtRGB AiNodeGetRGB(const AtNode* node, const AtString param)
{
    return read_param<AtRGB>(node, param, "AiNodeGetRGB", {AI_TYPE_RGB},
                             [](const StoredParam& p) { return p.value.rgb; });
}

// An ENUM answers with its entry's name, as the renderer does.
AI_API AtString AiNodeGetStr(const AtNode* node, const AtString param)
{
    return read_param<AtString>(node, param, "AiNodeGetStr", {AI_TYPE_STRING, AI_TYPE_ENUM},
                                [](const StoredParam& p) {
                                    if (p.type == AI_TYPE_STRING)
                                        return AtString(p.str);
                                    const int i = p.value.i;
                                    const bool valid = i >= 0 && static_cast<size_t>(i) < p.enum_names.size();
                                    return valid ? AtString(p.enum_names[i].c_str()) : AtString();
                                });
}

AI_API void* AiNodeGetPtr(const AtNode* node, const AtString param)
{
    return read_param<void*>(node, param, "AiNodeGetPtr", {AI_TYPE_POINTER, AI_TYPE_NODE},
                             [](const StoredParam& p) { return p.value.p; });
}

// ---- Control interface -----------------------------------------------------------------

namespace ai_standin {

AI_API std::vector<ParamInfo> declared_parameters(const AtNodeLib& lib)
{
    AtList list;
    const AtNodeMethods* methods = standin::methods_of(lib);
    if (methods && methods->cmethods && methods->cmethods->Parameters)
        methods->cmethods->Parameters(&list, nullptr);
    return std::move(list.declarations);
}

AI_API std::vector<ParamInfo> current_parameters(const AtNode* node)
{
    std::vector<ParamInfo> result;
    if (!node)
        return result;
    std::shared_lock lock(node->mutex);
    for (const StoredParam& param : node->params)
        result.push_back(describe(param));
    return result;
}

AI_API bool node_parameter(const AtNode* node, const char* name, ParamInfo& out)
{
    if (!node || !name)
        return false;
    std::shared_lock lock(node->mutex);
    const StoredParam* param = standin::find_param(node, standin::intern(name));
    if (!param)
        return false;
    out = describe(*param);
    return true;
}

AI_API SetResult set_parameter(AtNode* node, const char* name, int type, const Value& value)
{
    if (!node || !name || !*name)
        return SetResult::invalid;
    const char* interned = standin::intern(name);
    std::unique_lock lock(node->mutex);
    StoredParam* param = standin::find_param(node, interned);
    if (!param) {
        if (!user_type_allowed(type))
            return SetResult::type_mismatch;
        StoredParam added;
        added.name = interned;
        added.type = type;
        added.user = true;
        standin::store_value(added, value);
        node->params.push_back(std::move(added));
        return SetResult::added;
    }
    if (param->type == AI_TYPE_ENUM && (type == AI_TYPE_ENUM || type == AI_TYPE_INT)) {
        if (value.i < 0 || static_cast<size_t>(value.i) >= param->enum_names.size())
            return SetResult::out_of_range;
        param->value.i = value.i;
        return SetResult::set;
    }
    if (param->type != type)
        return SetResult::type_mismatch;
    standin::store_value(*param, value);
    return SetResult::set;
}

}  // namespace ai_standin
