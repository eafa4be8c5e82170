#pragma once
// Linkage and export of the renderer API (stand-in): C linkage, exported from the
// renderer's library.

#ifdef __cplusplus
#  define AI_EXTERN_C extern "C"
#else
#  define AI_EXTERN_C extern
#endif

#if defined(_WIN32)
#  define AI_API AI_EXTERN_C __declspec(dllimport)
#else
#  define AI_API AI_EXTERN_C __attribute__((visibility("default")))
#endif

// A printf-like function: the format is argument fmt, the values start at argument first.
// Only GCC and Clang check it.
#if defined(__GNUC__) || defined(__clang__)
#  define AI_PRINTF_ARGS(fmt, first) __attribute__((format(printf, fmt, first)))
#else
#  define AI_PRINTF_ARGS(fmt, first)
#endif
