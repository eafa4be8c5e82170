// The renderer's allocator, counting the blocks not yet freed.

#include <atomic>
#include <cstdlib>

#include "internal.h"

namespace {

std::atomic<size_t> g_outstanding{0};

}  // namespace

AI_API void* AiMalloc(size_t size)
{
    if (standin::failing("AiMalloc"))
        return nullptr;
    // A zero-byte request still gets a distinct block, so it must be freed too.
    void* block = std::malloc(size ? size : 1);
    if (block)
        g_outstanding.fetch_add(1, std::memory_order_relaxed);
    return block;
}

AI_API void AiFree(void* block)
{
    if (!block)
        return;
    g_outstanding.fetch_sub(1, std::memory_order_relaxed);
    std::free(block);
}

namespace ai_standin {

AI_API size_t allocations_outstanding()
{
    return g_outstanding.load(std::memory_order_relaxed);
}

}  // namespace ai_standin
