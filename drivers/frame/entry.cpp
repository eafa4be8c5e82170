// The plug-in entry and the driver's methods, defined with the renderer's method macros
// and published with its exporter. Built into every library together with that
// library's node_type.h, which holds its constants; the rest of what differs between the
// node types is behind the functions of namespace node_type.

#include <cstring>

#include "driver_frame.h"
#include "node_type.h"

static_assert(sizeof node_type::arnold_version <= AI_MAXSIZE_VERSION,
              "the version text must fit the record with its terminating zero");

namespace {

// The method macros name every argument that the renderer passes; the arguments that a
// method does not read go here.
template <class... Arguments>
void not_read(const Arguments&...) {}

}  // namespace

AI_DRIVER_NODE_EXPORT_METHODS(driver_node_methods)

node_parameters {
    not_read(nentry);
    node_type::declare_parameters(params);
}

node_initialize {
    not_read(render_session);
    node_type::initialize(node);
}

node_update { not_read(render_session, node); }

node_finish { not_read(node); }

driver_supports_pixel_type {
    not_read(node);
    for (const uint8_t accepted : node_type::pixel_types) {
        if (pixel_type == accepted) return true;
    }
    return false;
}

driver_extension { return nullptr; }

driver_open {
    korvane::send_render_start(node, iterator, display_window, data_window, bucket_size);
}

driver_needs_bucket {
    not_read(node, bucket_xo, bucket_yo, bucket_size_x, bucket_size_y, tid);
    return node_type::needs_bucket;
}

driver_prepare_bucket { not_read(node, bucket_xo, bucket_yo, bucket_size_x, bucket_size_y, tid); }

driver_process_bucket {
    not_read(node, iterator, sample_iterator, bucket_xo, bucket_yo, bucket_size_x, bucket_size_y,
             tid);
}

driver_write_bucket {
    node_type::write_bucket(node, iterator, sample_iterator, bucket_xo, bucket_yo, bucket_size_x,
                            bucket_size_y);
}

driver_close {
    not_read(node, iterator);
    korvane::send_render_finished();
}

// The library's one export: its node type at index 0, nothing at any other index.
node_loader {
    if (i != 0 || node == nullptr) return false;
    node->node_type = AI_NODE_DRIVER;
    node->output_type = AI_TYPE_NONE;
    node->name = node_type::name;
    node->methods = driver_node_methods;
    std::memcpy(node->version, node_type::arnold_version, sizeof node_type::arnold_version);
    return true;
}
