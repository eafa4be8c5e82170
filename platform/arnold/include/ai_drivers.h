#pragma once
// Driver nodes: the driver methods a plug-in defines, their table and driver
// services (stand-in).

#include <cstdint>

#include "ai_api.h"
#include "ai_bbox.h"
#include "ai_matrix.h"
#include "ai_nodes.h"
#include "ai_output_iterator.h"

struct AtOutputIterator;
struct AtAOVSampleIterator;

struct AtDriverNodeMethods {
    bool (*DriverSupportsPixelType)(const AtNode*, uint8_t);
    const char** (*DriverExtension)();
    void (*DriverOpen)(AtNode*, struct AtOutputIterator*, AtBBox2, AtBBox2, int);
    bool (*DriverNeedsBucket)(AtNode*, int, int, int, int, uint16_t);
    void (*DriverPrepareBucket)(AtNode*, int, int, int, int, uint16_t);
    void (*DriverProcessBucket)(AtNode*, struct AtOutputIterator*, struct AtAOVSampleIterator*, int,
                                int, int, int, uint16_t);
    void (*DriverWriteBucket)(AtNode*, struct AtOutputIterator*, struct AtAOVSampleIterator*, int,
                              int, int, int);
    void (*DriverClose)(AtNode*, struct AtOutputIterator*);
};

// Declares every method of a driver and makes its tables; tag becomes the pointer to
// the node methods that NodeLoader hands over. The methods are then defined with the
// method macros, in the same file.
#define AI_DRIVER_NODE_EXPORT_METHODS(tag)                                                  \
    AI_INSTANCE_COMMON_METHODS                                                              \
    driver_supports_pixel_type;                                                             \
    driver_extension;                                                                       \
    driver_open;                                                                            \
    driver_needs_bucket;                                                                    \
    driver_prepare_bucket;                                                                  \
    driver_process_bucket;                                                                  \
    driver_write_bucket;                                                                    \
    driver_close;                                                                           \
    static AtDriverNodeMethods ai_driver_mtds = {                                           \
        DriverSupportsPixelType, DriverExtension,     DriverOpen,        DriverNeedsBucket, \
        DriverPrepareBucket,     DriverProcessBucket, DriverWriteBucket, DriverClose};      \
    static AtNodeMethods ai_node_mtds = {&ai_common_mtds, &ai_driver_mtds};                 \
    const AtNodeMethods* tag = &ai_node_mtds;

// Whether the driver takes the pixel type, an 8-bit type code.
#define driver_supports_pixel_type \
    static bool DriverSupportsPixelType(const AtNode* node, uint8_t pixel_type)

// The file extensions the driver writes, ended by a null entry; null for none.
#define driver_extension static const char** DriverExtension()

// Render start: the outputs, the display and data windows (inclusive) and the bucket size.
#define driver_open                                                         \
    static void DriverOpen(AtNode* node, struct AtOutputIterator* iterator, \
                           AtBBox2 display_window, AtBBox2 data_window, int bucket_size)

// Whether the driver wants the bucket at all.
#define driver_needs_bucket                                                                      \
    static bool DriverNeedsBucket(AtNode* node, int bucket_xo, int bucket_yo, int bucket_size_x, \
                                  int bucket_size_y, uint16_t tid)

// Before a bucket is rendered; one call at a time.
#define driver_prepare_bucket                                                                      \
    static void DriverPrepareBucket(AtNode* node, int bucket_xo, int bucket_yo, int bucket_size_x, \
                                    int bucket_size_y, uint16_t tid)

// A rendered bucket, on the rendering thread; calls may overlap.
#define driver_process_bucket                                                                   \
    static void DriverProcessBucket(AtNode* node, struct AtOutputIterator* iterator,            \
                                    struct AtAOVSampleIterator* sample_iterator, int bucket_xo, \
                                    int bucket_yo, int bucket_size_x, int bucket_size_y,        \
                                    uint16_t tid)

// A rendered bucket to write; one call at a time.
#define driver_write_bucket                                                                   \
    static void DriverWriteBucket(AtNode* node, struct AtOutputIterator* iterator,            \
                                  struct AtAOVSampleIterator* sample_iterator, int bucket_xo, \
                                  int bucket_yo, int bucket_size_x, int bucket_size_y)

// Render end.
#define driver_close static void DriverClose(AtNode* node, struct AtOutputIterator* iterator)

// Makes the node a driver; with supports_multiple_outputs false it takes one output
// per pixel type.
AI_API void AiDriverInitialize(AtNode* node, bool supports_multiple_outputs);

// The camera matrices of the current render: world to camera, world to screen.
AI_API bool AiDriverGetMatrices(AtMatrix& world_to_camera, AtMatrix& world_to_screen);
