// A small driver plug-in that reports what the stand-in hands it, through the
// renderer's log, so the tests can check the host against it.

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>

#include "ai.h"

namespace {

// Counts the callers inside a section of the driver and keeps the most seen at
// once. A caller asked to meet waits until a second caller is inside too, so a
// test sees calls overlap whenever the host lets them, however busy the machine;
// the wait is bounded, and after one wait in vain no caller waits again.
class Section {
public:
    void reset()
    {
        std::lock_guard lock(mutex_);
        most_ = 0;
        waited_in_vain_ = false;
    }

    void enter(bool meet)
    {
        std::unique_lock lock(mutex_);
        most_ = std::max(most_, ++inside_);
        if (most_ > 1)
            second_inside_.notify_all();
        if (meet && !waited_in_vain_)
            waited_in_vain_ = !second_inside_.wait_for(lock, std::chrono::seconds(10),
                                                       [this] { return most_ > 1; });
    }

    void leave()
    {
        std::lock_guard lock(mutex_);
        --inside_;
    }

    int most()
    {
        std::lock_guard lock(mutex_);
        return most_;
    }

private:
    std::mutex mutex_;
    std::condition_variable second_inside_;
    int inside_ = 0;
    int most_ = 0;
    bool waited_in_vain_ = false;
};

Section g_serial;   // inside PrepareBucket or WriteBucket
Section g_process;  // inside ProcessBucket
void* g_open_block = nullptr;

const char* kModes[] = {"first", "second", "third", nullptr};
// Which calls wait for a second one: "meet" holds the index.
const char* kMeetings[] = {"none", "process", "write", nullptr};
enum Meeting { MEET_NONE, MEET_PROCESS, MEET_WRITE };
const char* kExtensions[] = {"fake", "fk", nullptr};

bool meets(const AtNode* node, Meeting meeting)
{
    return AiNodeGetInt(node, AtString("meet")) == meeting;
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
    AiNodeParamEnum(params, -1, "meet", MEET_NONE, kMeetings);
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
    g_serial.reset();
    g_process.reset();
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
    g_serial.enter(false);
    g_serial.leave();
}

void process_bucket(AtNode* node, AtOutputIterator*, AtAOVSampleIterator*, int, int, int, int,
                    uint16_t)
{
    g_process.enter(meets(node, MEET_PROCESS));
    g_process.leave();
}

// One line per output: "write xo yo sx sy name type v0 v1 ...", every sample.
void write_bucket(AtNode* node, AtOutputIterator* iterator, AtAOVSampleIterator*, int xo, int yo,
                  int sx, int sy)
{
    g_serial.enter(meets(node, MEET_WRITE));
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
    g_serial.leave();
}

void close_outputs(AtNode*, AtOutputIterator*)
{
    AiFree(g_open_block);
    g_open_block = nullptr;
    AiFree(nullptr);
    AiMsgInfo("close serial %d process %d", g_serial.most(), g_process.most());
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
