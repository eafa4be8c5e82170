#pragma once
// Constants of the diffusion node type, built into the driver frame's entry.

#include <ai.h>

namespace node_type {

inline constexpr char name[] = "diffusion";
inline constexpr char arnold_version[] = "7.1.4.0";
inline constexpr uint8_t pixel_types[] = {AI_TYPE_FLOAT, AI_TYPE_RGB, AI_TYPE_RGBA, AI_TYPE_VECTOR};
inline constexpr bool needs_bucket = false;

}  // namespace node_type
