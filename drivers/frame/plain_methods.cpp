// The methods of the node types that neither stream buckets nor register AOVs.

#include "driver_frame.h"

namespace node_type {

void initialize(AtNode* node) { AiDriverInitialize(node, false); }

// Never called: these node types ask for no buckets.
void write_bucket(AtNode* /*node*/, AtOutputIterator* /*iterator*/,
                  AtAOVSampleIterator* /*sample_iterator*/, int /*bucket_xo*/, int /*bucket_yo*/,
                  int /*bucket_size_x*/, int /*bucket_size_y*/) {}

void reset_render_state() {}

}  // namespace node_type
