#pragma once
// The outputs that the renderer routes to a driver (stand-in).

#include "ai_api.h"
#include "ai_string.h"

struct AtNode;
struct AtOutputIterator;

// Next output: its name, pixel type and data (for a bucket: one element per pixel,
// row-major from the bucket's first row). False when none is left. Null pointers
// are not written.
AI_API bool AiOutputIteratorGetNext(struct AtOutputIterator* iter, AtString* output_name,
                                    int* pixel_type, const void** bucket_data);
// Starts the walk over.
AI_API void AiOutputIteratorReset(struct AtOutputIterator* iter);
