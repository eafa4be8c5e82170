#pragma once
// Colour values (stand-in).

struct AtRGB {
    float r, g, b;
};

struct AtRGBA {
    float r, g, b, a;
};
