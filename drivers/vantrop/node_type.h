#pragma once
// Constants of the vantrop node type, built into the driver frame's entry. Only vantrop
// asks for finished buckets.

#include <ai.h>

namespace node_type {

inline constexpr char name[] = "vantrop";
inline constexpr char arnold_version[] = "7.1.4.2";
inline constexpr uint8_t pixel_types[] = {AI_TYPE_FLOAT, AI_TYPE_RGB, AI_TYPE_RGBA, AI_TYPE_VECTOR};
inline constexpr bool needs_bucket = true;

}  // namespace node_type
