#pragma once
// The renderer's log (stand-in): one line per call, printf-style.

#include "ai_api.h"

AI_API void AiMsgInfo(const char* format, ...);
AI_API void AiMsgWarning(const char* format, ...);
AI_API void AiMsgError(const char* format, ...);
