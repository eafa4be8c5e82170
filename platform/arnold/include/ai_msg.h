#pragma once
// The renderer's log (stand-in): one line per call, printf-style. The compiler checks
// each call's arguments against its format.

#include "ai_api.h"

AI_API void AiMsgInfo(const char* format, ...) AI_PRINTF_ARGS(1, 2);
// Shown only where the log asks for debug lines.
AI_API void AiMsgDebug(const char* format, ...) AI_PRINTF_ARGS(1, 2);
AI_API void AiMsgWarning(const char* format, ...) AI_PRINTF_ARGS(1, 2);
AI_API void AiMsgError(const char* format, ...) AI_PRINTF_ARGS(1, 2);
// An error the render cannot go on from.
AI_API void AiMsgFatal(const char* format, ...) AI_PRINTF_ARGS(1, 2);
