#pragma once
// The renderer's log (stand-in): one line per call, printf-style.

#include "ai_api.h"

#if defined(__GNUC__)
#  define AI_PRINTF_FORMAT(fmt, first) __attribute__((format(printf, fmt, first)))
#else
#  define AI_PRINTF_FORMAT(fmt, first)
#endif

AI_API void AiMsgInfo(const char* format, ...) AI_PRINTF_FORMAT(1, 2);
AI_API void AiMsgWarning(const char* format, ...) AI_PRINTF_FORMAT(1, 2);
AI_API void AiMsgError(const char* format, ...) AI_PRINTF_FORMAT(1, 2);
