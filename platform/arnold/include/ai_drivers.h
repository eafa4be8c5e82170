#pragma once
// Driver nodes: method tables and driver services (stand-in).

#include <cstdint>

#include "ai_api.h"
#include "ai_matrix.h"
#include "ai_types.h"

struct AtDriverNodeMethods {
    bool (*DriverSupportsPixelType)(const AtNode* node, uint8_t pixel_type);
    const char** (*DriverExtension)();
    void (*DriverOpen)(AtNode* node, AtOutputIterator* iterator, AtBBox2 display_window,
                       AtBBox2 data_window, int bucket_size);
    bool (*DriverNeedsBucket)(AtNode* node, int bucket_xo, int bucket_yo, int bucket_size_x,
                              int bucket_size_y, uint16_t tid);
    void (*DriverPrepareBucket)(AtNode* node, int bucket_xo, int bucket_yo, int bucket_size_x,
                                int bucket_size_y, uint16_t tid);
    void (*DriverProcessBucket)(AtNode* node, AtOutputIterator* iterator,
                                AtAOVSampleIterator* sample_iterator, int bucket_xo,
                                int bucket_yo, int bucket_size_x, int bucket_size_y,
                                uint16_t tid);
    void (*DriverWriteBucket)(AtNode* node, AtOutputIterator* iterator,
                              AtAOVSampleIterator* sample_iterator, int bucket_xo,
                              int bucket_yo, int bucket_size_x, int bucket_size_y);
    void (*DriverClose)(AtNode* node, AtOutputIterator* iterator);
};

// Makes the node a driver; with supports_multiple_outputs false it takes one
// output per pixel type.
AI_API void AiDriverInitialize(AtNode* node, bool supports_multiple_outputs);

// Registers an AOV with the universe being set up; false when a different
// type is already registered under that name.
AI_API bool AiAOVRegister(const char* name, int type, int blend_mode);

// The camera matrices of the current render: world to camera, world to screen.
AI_API bool AiDriverGetMatrices(AtMatrix& world_to_camera, AtMatrix& world_to_screen);

// Next output of the bucket: its name, pixel type and samples (one element per
// pixel, row-major from the bucket's first row). False when none is left.
AI_API bool AiOutputIteratorGetNext(AtOutputIterator* iterator, const char** output_name,
                                    int* pixel_type, const void** bucket_data);
AI_API void AiOutputIteratorReset(AtOutputIterator* iterator);
