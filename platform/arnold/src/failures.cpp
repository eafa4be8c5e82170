// Failure injection: a test makes chosen renderer calls fail until reset.

#include <array>
#include <atomic>
#include <cstring>

#include "internal.h"

namespace {

constexpr std::array<const char*, 4> kOperations{
    "AiMalloc", "AiDriverGetMatrices", "AiAOVRegister", "AiColorManagerTransform"};

std::array<std::atomic<bool>, kOperations.size()> g_failing{};

int index_of(const char* operation)
{
    for (size_t i = 0; operation && i < kOperations.size(); ++i)
        if (std::strcmp(kOperations[i], operation) == 0)
            return static_cast<int>(i);
    return -1;
}

}  // namespace

namespace standin {

bool failing(const char* operation)
{
    const int i = index_of(operation);
    return i >= 0 && g_failing[i].load(std::memory_order_relaxed);
}

}  // namespace standin

namespace ai_standin {

AI_API std::vector<std::string> failable_operations()
{
    return std::vector<std::string>(kOperations.begin(), kOperations.end());
}

AI_API bool fail(const char* operation)
{
    const int i = index_of(operation);
    if (i < 0)
        return false;
    g_failing[i].store(true);
    return true;
}

AI_API void reset_failures()
{
    for (auto& flag : g_failing)
        flag.store(false);
}

}  // namespace ai_standin
