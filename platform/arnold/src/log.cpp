// The log: one per universe, routed by the thread's current universe.

#include <algorithm>
#include <cstdio>

#include "internal.h"

namespace {

thread_local AtUniverse* t_current = nullptr;

// Universes alive, oldest first: the fallback target of log lines written
// outside any node method.
struct Registry {
    std::mutex mutex;
    std::vector<AtUniverse*> alive;
};

Registry& registry()
{
    static Registry* instance = new Registry;  // outlives every universe
    return *instance;
}

void vlog(int severity, const char* format, va_list args)
{
    std::shared_ptr<LogStore> log = standin::target_log();
    if (log)
        standin::append_log(*log, severity, standin::vformat(format, args));
}

}  // namespace

namespace standin {

AtUniverse* current_universe()
{
    return t_current;
}

UniverseScope::UniverseScope(AtUniverse* universe) : previous_(t_current)
{
    t_current = universe;
}

UniverseScope::~UniverseScope()
{
    t_current = previous_;
}

void register_universe(AtUniverse* universe)
{
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    r.alive.push_back(universe);
}

void unregister_universe(AtUniverse* universe)
{
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    r.alive.erase(std::remove(r.alive.begin(), r.alive.end(), universe), r.alive.end());
}

AtUniverse* acting_universe()
{
    if (t_current)
        return t_current;
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    return r.alive.empty() ? nullptr : r.alive.back();
}

std::shared_ptr<LogStore> target_log()
{
    if (t_current)
        return t_current->log;
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    return r.alive.empty() ? nullptr : r.alive.back()->log;
}

std::string vformat(const char* format, va_list args)
{
    if (!format)
        return std::string();
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length <= 0)
        return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(static_cast<size_t>(length));
    return text;
}

void append_log(LogStore& log, int severity, std::string text)
{
    std::lock_guard lock(log.mutex);
    log.lines.push_back({severity, std::move(text)});
}

void log_to(AtUniverse* universe, int severity, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    if (universe) {
        append_log(*universe->log, severity, vformat(format, args));
    } else {
        vlog(severity, format, args);
    }
    va_end(args);
}

}  // namespace standin

AI_API void AiMsgInfo(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    vlog(ai_standin::SEVERITY_INFO, format, args);
    va_end(args);
}

AI_API void AiMsgDebug(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    vlog(ai_standin::SEVERITY_DEBUG, format, args);
    va_end(args);
}

AI_API void AiMsgWarning(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    vlog(ai_standin::SEVERITY_WARNING, format, args);
    va_end(args);
}

AI_API void AiMsgError(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    vlog(ai_standin::SEVERITY_ERROR, format, args);
    va_end(args);
}

// The stand-in records the line and returns; ending the render is the host's part.
AI_API void AiMsgFatal(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    vlog(ai_standin::SEVERITY_FATAL, format, args);
    va_end(args);
}

namespace ai_standin {

AI_API std::vector<LogLine> log_lines(const AtUniverse* universe)
{
    if (!universe)
        return {};
    std::lock_guard lock(universe->log->mutex);
    return universe->log->lines;
}

AI_API void clear_log(AtUniverse* universe)
{
    if (!universe)
        return;
    std::lock_guard lock(universe->log->mutex);
    universe->log->lines.clear();
}

}  // namespace ai_standin
