#pragma once
// Bounding boxes (stand-in).

// An integer window; both bounds are inside it.
struct AtBBox2 {
    int minx, miny, maxx, maxy;
};
