// Interned strings: one stable pointer per distinct text for the whole process.

#include <cstring>
#include <functional>
#include <memory>
#include <shared_mutex>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "internal.h"

namespace {

struct InternTable {
    std::shared_mutex mutex;
    std::unordered_set<std::string_view> views;      // point into `storage`
    std::vector<std::unique_ptr<char[]>> storage;    // never freed before exit
};

InternTable& table()
{
    // Never destroyed: drivers may hold interned pointers until the very end.
    static InternTable* instance = new InternTable;
    return *instance;
}

}  // namespace

namespace standin {

const char* intern(const char* text)
{
    if (!text)
        return nullptr;
    const std::string_view key(text);
    InternTable& t = table();
    {
        std::shared_lock lock(t.mutex);
        const auto found = t.views.find(key);
        if (found != t.views.end())
            return found->data();
    }
    std::unique_lock lock(t.mutex);
    const auto found = t.views.find(key);  // another thread may have added it meanwhile
    if (found != t.views.end())
        return found->data();
    auto copy = std::make_unique<char[]>(key.size() + 1);
    std::memcpy(copy.get(), text, key.size() + 1);
    const char* data = copy.get();
    t.storage.push_back(std::move(copy));
    t.views.insert(std::string_view(data, key.size()));
    return data;
}

}  // namespace standin

AI_API const char* AiCreateAtStringData_private(const char* str)
{
    return standin::intern(str);
}

AI_API size_t AiAtStringLength(const char* str)
{
    return str ? std::strlen(str) : 0;
}

AI_API size_t AiAtStringHash(const char* str)
{
    return std::hash<std::string_view>{}(str ? str : "");
}
