// The plug-in entry and the static method tables. Built into every library together with
// that library's node_type.h, which holds its constants.

#include <cstring>

#include "driver_frame.h"
#include "node_type.h"

namespace korvane {
namespace {

static_assert(sizeof node_type::arnold_version <= AI_MAXSIZE_VERSION,
              "the version text must fit the record with its terminating zero");

bool driver_supports_pixel_type(const AtNode* /*node*/, uint8_t pixel_type) {
    for (const uint8_t accepted : node_type::pixel_types) {
        if (pixel_type == accepted) return true;
    }
    return false;
}

const char** driver_extension() { return nullptr; }

bool driver_needs_bucket(AtNode* /*node*/, int /*bucket_xo*/, int /*bucket_yo*/,
                         int /*bucket_size_x*/, int /*bucket_size_y*/, uint16_t /*tid*/) {
    return node_type::needs_bucket;
}

void driver_open(AtNode* node, AtOutputIterator* iterator, AtBBox2 display_window,
                 AtBBox2 data_window, int bucket_size) {
    send_render_start(node, iterator, display_window, data_window, bucket_size);
}

void driver_close(AtNode* /*node*/, AtOutputIterator* /*iterator*/) { send_render_finished(); }

void node_update(AtRenderSession* /*session*/, AtNode* /*node*/) {}
void node_finish(AtNode* /*node*/) {}
void driver_prepare_bucket(AtNode* /*node*/, int /*bucket_xo*/, int /*bucket_yo*/,
                           int /*bucket_size_x*/, int /*bucket_size_y*/, uint16_t /*tid*/) {}
void driver_process_bucket(AtNode* /*node*/, AtOutputIterator* /*iterator*/,
                           AtAOVSampleIterator* /*sample_iterator*/, int /*bucket_xo*/,
                           int /*bucket_yo*/, int /*bucket_size_x*/, int /*bucket_size_y*/,
                           uint16_t /*tid*/) {}

const AtCommonMethods common_methods = {
    nullptr,  // PluginInitialize
    nullptr,  // PluginCleanup
    node_type::node_parameters,
    node_type::node_initialize,
    node_update,
    node_finish,
};

const AtDriverNodeMethods driver_methods = {
    driver_supports_pixel_type,
    driver_extension,
    driver_open,
    driver_needs_bucket,
    driver_prepare_bucket,
    driver_process_bucket,
    node_type::driver_write_bucket,
    driver_close,
};

const AtNodeMethods driver_node_methods = {&common_methods, &driver_methods};

}  // namespace
}  // namespace korvane

// The library's one export: its node type at index 0, nothing at any other index.
AI_EXPORT_LIB bool NodeLoader(int i, AtNodeLib* node) {
    if (i != 0 || node == nullptr) return false;
    node->node_type = AI_NODE_DRIVER;
    node->output_type = AI_TYPE_NONE;
    node->name = node_type::name;
    node->methods = &korvane::driver_node_methods;
    std::memcpy(node->version, node_type::arnold_version, sizeof node_type::arnold_version);
    return true;
}
