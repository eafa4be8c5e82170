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
