// The renderer's allocator, counting the blocks not yet freed: in the whole
// process, and per universe for the blocks that its node methods take.

#include <atomic>
#include <cstdlib>
#include <unordered_map>

#include "internal.h"

namespace {

std::atomic<size_t> g_outstanding{0};

// The universe count that each block still held is charged to.
struct Owners {
    std::mutex mutex;
    std::unordered_map<const void*, std::shared_ptr<std::atomic<size_t>>> of_block;
};

Owners& owners()
{
    static Owners* instance = new Owners;  // outlives every block
    return *instance;
}

}  // namespace

AI_API void* AiMalloc(size_t size)
{
    if (standin::failing("AiMalloc"))
        return nullptr;
    // A zero-byte request still gets a distinct block, so it must be freed too.
    void* block = std::malloc(size ? size : 1);
    if (!block)
        return nullptr;
    g_outstanding.fetch_add(1, std::memory_order_relaxed);
    if (AtUniverse* universe = standin::current_universe()) {
        universe->allocations->fetch_add(1, std::memory_order_relaxed);
        Owners& o = owners();
        std::lock_guard lock(o.mutex);
        o.of_block.emplace(block, universe->allocations);
    }
    return block;
}

AI_API void AiFree(void* block)
{
    if (!block)
        return;
    std::shared_ptr<std::atomic<size_t>> owner;
    {
        Owners& o = owners();
        std::lock_guard lock(o.mutex);
        const auto found = o.of_block.find(block);
        if (found != o.of_block.end()) {
            owner = std::move(found->second);
            o.of_block.erase(found);
        }
    }
    if (owner)
        owner->fetch_sub(1, std::memory_order_relaxed);
    g_outstanding.fetch_sub(1, std::memory_order_relaxed);
    std::free(block);
}

namespace ai_standin {

AI_API size_t allocations_outstanding()
{
    return g_outstanding.load(std::memory_order_relaxed);
}

AI_API size_t allocations_outstanding_in(const AtUniverse* universe)
{
    return universe ? universe->allocations->load(std::memory_order_relaxed) : 0;
}

}  // namespace ai_standin
