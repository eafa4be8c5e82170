#pragma once
// Export and calling conventions of the renderer API (stand-in).

#if defined(_WIN32)
#  define AI_API __declspec(dllimport)
#  define AI_EXPORT_LIB extern "C" __declspec(dllexport)
#else
#  define AI_API __attribute__((visibility("default")))
#  define AI_EXPORT_LIB extern "C" __attribute__((visibility("default")))
#endif
