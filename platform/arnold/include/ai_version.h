#pragma once
// The renderer version these headers declare (stand-in).

#include "ai_api.h"

#define ARNOLD_XSTR(s) ARNOLD_STR(s)
#define ARNOLD_STR(s) #s

// Room for a version text in a plug-in's record, terminating zero included.
#define AI_MAXSIZE_VERSION 32

#define AI_VERSION_ARCH_NUM 7
#define AI_VERSION_MAJOR_NUM 1
#define AI_VERSION_MINOR_NUM 4
#define AI_VERSION_FIX "0"

#define AI_VERSION_ARCH ARNOLD_XSTR(AI_VERSION_ARCH_NUM)
#define AI_VERSION_MAJOR ARNOLD_XSTR(AI_VERSION_MAJOR_NUM)
#define AI_VERSION_MINOR ARNOLD_XSTR(AI_VERSION_MINOR_NUM)

// One number for comparisons in the preprocessor: 70104 for 7.1.4.
#define ARNOLD_VERSION_NUM \
    (AI_VERSION_ARCH_NUM * 10000) + (AI_VERSION_MAJOR_NUM * 100) + AI_VERSION_MINOR_NUM

// The full version text, "7.1.4.0".
#define AI_VERSION AI_VERSION_ARCH "." AI_VERSION_MAJOR "." AI_VERSION_MINOR "." AI_VERSION_FIX
