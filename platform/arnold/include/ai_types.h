#pragma once
// Type codes, node kinds and small value types of the renderer API (stand-in).

#include <cstdint>

// Parameter and pixel type codes.
#define AI_TYPE_BYTE      0x00
#define AI_TYPE_INT       0x01
#define AI_TYPE_UINT      0x02
#define AI_TYPE_BOOLEAN   0x03
#define AI_TYPE_FLOAT     0x04
#define AI_TYPE_RGB       0x05
#define AI_TYPE_RGBA      0x06
#define AI_TYPE_VECTOR    0x07
#define AI_TYPE_VECTOR2   0x08
#define AI_TYPE_STRING    0x09
#define AI_TYPE_POINTER   0x0A
#define AI_TYPE_NODE      0x0B
#define AI_TYPE_ARRAY     0x0C
#define AI_TYPE_MATRIX    0x0D
#define AI_TYPE_ENUM      0x0E
#define AI_TYPE_NONE      0xFF

// Node kinds.
#define AI_NODE_UNDEFINED 0x0000
#define AI_NODE_OPTIONS   0x0001
#define AI_NODE_CAMERA    0x0002
#define AI_NODE_LIGHT     0x0004
#define AI_NODE_SHAPE     0x0008
#define AI_NODE_SHADER    0x0010
#define AI_NODE_OVERRIDE  0x0020
#define AI_NODE_DRIVER    0x0040
#define AI_NODE_FILTER    0x0080
#define AI_NODE_COLOR_MANAGER 0x0800

// AOV blend modes.
#define AI_AOV_BLEND_NONE    0
#define AI_AOV_BLEND_OPACITY 1

struct AtRGB {
    float r, g, b;
};

struct AtRGBA {
    float r, g, b, a;
};

struct AtVector {
    float x, y, z;
};

struct AtVector2 {
    float x, y;
};

// Inclusive integer window.
struct AtBBox2 {
    int minx, miny, maxx, maxy;
};

// Opaque renderer objects.
struct AtNode;
struct AtNodeEntry;
struct AtList;
struct AtUniverse;
struct AtRenderSession;
struct AtOutputIterator;
struct AtAOVSampleIterator;
