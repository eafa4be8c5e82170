// A small driver plug-in that reports what the stand-in hands it, through the
// renderer's log, so the tests can check the host against it.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "ai.h"

namespace {

std::atomic<int> g_serial_in_flight{0};   // inside PrepareBucket or WriteBucket
std::atomic<int> g_serial_max{0};
std::atomic<int> g_process_in_flight{0};  // inside ProcessBucket
std::atomic<int> g_process_max{0};
void* g_open_block = nullptr;

const char* kModes[] = {"first", "second", "third", nullptr};
const char* kExtensions[] = {"fake", "fk", nullptr};

// Counts the callers inside a section and keeps the most seen at once; the
// pause gives other threads time to enter alongside.
void occupy(std::atomic<int>& in_flight, std::atomic<int>& most)
{
    const int now = ++in_flight;
    int seen = most.load();
    while (now > seen && !most.compare_exchange_weak(seen, now)) {
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    --in_flight;
}

int floats_per_pixel(int pixel_type)
{
    switch (pixel_type) {
    case AI_TYPE_FLOAT: return 1;
    case AI_TYPE_RGB:
    case AI_TYPE_VECTOR: return 3;
    case AI_TYPE_RGBA: return 4;
    default: return 0;  // the sample layout is unknown to the driver: nothing is read
    }
}

void parameters(AtList* params, AtNodeEntry*)
{
    AiNodeParamBool(params, -1, "needBuckets", true);
    AiNodeParamInt(params, -1, "count", 3);
    AiNodeParamFlt(params, -1, "gain", 0.5f);
    AiNodeParamStr(params, -1, "label", AtString("hello"));
    AiNodeParamEnum(params, -1, "mode", 1, kModes);
    AiNodeParamRGB(params, -1, "tint", 0.25f, 0.5f, 1.0f);
}

void initialize(AtRenderSession*, AtNode* node)
{
    AiAOVRegister("Z", AI_TYPE_FLOAT, AI_AOV_BLEND_NONE);
    AiAOVRegister("P", AI_TYPE_VECTOR, AI_AOV_BLEND_OPACITY);
    AiAOVRegister("P", AI_TYPE_RGB, AI_AOV_BLEND_NONE);  // refused: another type
    AiDriverInitialize(node, false);
}

void finish(AtNode*) {}

bool supports_pixel_type(const AtNode*, uint8_t pixel_type)
{
    return pixel_type >= AI_TYPE_FLOAT && pixel_type <= AI_TYPE_VECTOR;
}

const char** extension()
{
    return kExtensions;
}

void open_outputs(AtNode* node, AtOutputIterator* iterator, AtBBox2 display, AtBBox2 data,
                  int bucket_size)
{
    g_serial_max = 0;
    g_process_max = 0;
    g_open_block = AiMalloc(16);
    std::string outputs;
    AtString name;
    int type;
    while (AiOutputIteratorGetNext(iterator, &name, &type, nullptr))
        outputs += std::string(" ") + name.c_str() + ":" + std::to_string(type);
    AiMsgInfo("open display %d %d %d %d data %d %d %d %d bucket %d outputs%s", display.minx,
              display.miny, display.maxx, display.maxy, data.minx, data.miny, data.maxx, data.maxy,
              bucket_size, outputs.c_str());

    const AtRGB bg = AiNodeGetRGB(node, AtString("bgColor"));
    AiMsgInfo("bgColor %g %g %g", bg.r, bg.g, bg.b);
    AiMsgInfo("mode %d label %s", AiNodeGetInt(node, AtString("mode")),
              AiNodeGetStr(node, AtString("label")).c_str());

    AtMatrix world_to_camera, world_to_screen;
    const bool found = AiDriverGetMatrices(world_to_camera, world_to_screen);
    std::string text = "matrices " + std::to_string(found);
    for (const AtMatrix* m : {&world_to_camera, &world_to_screen})
        for (int row = 0; row < 4; ++row)
            for (int col = 0; col < 4; ++col) {
                char number[32];
                std::snprintf(number, sizeof number, " %.9g", (*m)[row][col]);
                text += number;
            }
    AiMsgInfo("%s", text.c_str());
}

bool needs_bucket(AtNode* node, int, int, int, int, uint16_t)
{
    return AiNodeGetBool(node, AtString("needBuckets"));
}

void prepare_bucket(AtNode*, int, int, int, int, uint16_t)
{
    occupy(g_serial_in_flight, g_serial_max);
}

void process_bucket(AtNode*, AtOutputIterator*, AtAOVSampleIterator*, int, int, int, int, uint16_t)
{
    occupy(g_process_in_flight, g_process_max);
}

// One line per output: "write xo yo sx sy name type v0 v1 ...", every sample.
void write_bucket(AtNode*, AtOutputIterator* iterator, AtAOVSampleIterator*, int xo, int yo, int sx,
                  int sy)
{
    occupy(g_serial_in_flight, g_serial_max);
    AtString name;
    int type;
    const void* data;
    while (AiOutputIteratorGetNext(iterator, &name, &type, &data)) {
        std::string line = "write " + std::to_string(xo) + " " + std::to_string(yo) + " " +
                           std::to_string(sx) + " " + std::to_string(sy) + " " + name.c_str() +
                           " " + std::to_string(type);
        const auto* samples = static_cast<const float*>(data);
        const int count = sx * sy * floats_per_pixel(type);
        for (int i = 0; i < count; ++i) {
            char number[32];
            std::snprintf(number, sizeof number, " %.9g", samples[i]);
            line += number;
        }
        AiMsgInfo("%s", line.c_str());
    }
}

void close_outputs(AtNode*, AtOutputIterator*)
{
    AiFree(g_open_block);
    g_open_block = nullptr;
    AiFree(nullptr);
    AiMsgInfo("close serial %d process %d", g_serial_max.load(), g_process_max.load());
}

const AtCommonMethods common_methods = {nullptr, nullptr, parameters, initialize, nullptr, finish};
const AtDriverNodeMethods driver_methods = {supports_pixel_type, extension,      open_outputs,
                                            needs_bucket,        prepare_bucket, process_bucket,
                                            write_bucket,        close_outputs};
const AtNodeMethods node_methods = {&common_methods, &driver_methods};

}  // namespace

AI_EXPORT_LIB bool NodeLoader(int i, AtNodeLib* node)
{
    if (i != 0)
        return false;
    node->node_type = AI_NODE_DRIVER;
    node->output_type = AI_TYPE_NONE;
    node->name = "fakedriver";
    node->methods = &node_methods;
    std::snprintf(node->version, sizeof node->version, "%s", "7.1.4.0");
    return true;
}
