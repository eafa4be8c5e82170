#pragma once
// Constants of the mirelle node type, built into the driver frame's entry.

#include <ai.h>

namespace node_type {

inline constexpr char name[] = "mirelle";
inline constexpr char arnold_version[] = "7.1.4.2";
inline constexpr uint8_t pixel_types[] = {AI_TYPE_FLOAT, AI_TYPE_RGB, AI_TYPE_RGBA};
inline constexpr bool needs_bucket = false;

}  // namespace node_type
