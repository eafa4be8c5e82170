#pragma once
// The driver frame shared by the four node types, and what each node type's folder adds
// to it (namespace node_type). Each library is the frame plus one such folder: the frame's
// entry defines the renderer's methods and hands on to these functions.

#include <ai.h>

namespace korvane {

// Parameter groups of the common table, in their declaration order.
void declare_inference_params(AtList* params);
void declare_inpainting_params(AtList* params);
void declare_upscale_params(AtList* params);
void declare_alpha_params(AtList* params);
void declare_output_params(AtList* params);
// The part of the inference group that every node type shares: prompt to loraWeight.
void declare_prompt_params(AtList* params);

// Entry lists of the enumerations, ended by a null entry.
extern const char* const upscaler_entries[];
extern const char* const alpha_mode_entries[];
extern const char* const extension_entries[];

// Render start and end as the Python module mtoa_callbacks sees them.
void send_render_start(AtNode* node, AtOutputIterator* iterator, AtBBox2 display_window,
                       AtBBox2 data_window, int bucket_size);
void send_render_finished();

// Bytes per pixel of everything a node sends: 4 unless its alphaMode is "none".
int node_channels(const AtNode* node);

}  // namespace korvane

// Defined by each node type's folder; the constants (name, version, pixel types, bucket
// answer) are in that folder's node_type.h.
namespace node_type {

// The node type's parameters, in their declaration order (node_parameters).
void declare_parameters(AtList* params);
// What every new node of the type is set up with (node_initialize).
void initialize(AtNode* node);
// A finished bucket (driver_write_bucket); only a node type that asks for buckets gets any.
void write_bucket(AtNode* node, AtOutputIterator* iterator, AtAOVSampleIterator* sample_iterator,
                  int bucket_xo, int bucket_yo, int bucket_size_x, int bucket_size_y);
// Clears what the node type keeps from one render to the next; runs at every render start.
void reset_render_state();

}  // namespace node_type
