#pragma once
// The renderer's allocator (stand-in).

#include <cstddef>

#include "ai_api.h"

AI_API void* AiMalloc(size_t size);
AI_API void AiFree(void* addr);
