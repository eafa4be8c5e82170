// The runtime seen from a host without Python: log routing, node queries,
// string interning and the allocator.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

#include "ai.h"
#include "ai_standin.h"

namespace {

void parameters(AtList* params, AtNodeEntry*)
{
    static const char* modes[] = {"off", "on", nullptr};
    AiNodeParamInt(params, -1, "count", 3);
    AiNodeParamEnum(params, -1, "mode", 1, modes);
    AiNodeParamStr(params, -1, "label", AtString("x"));
}

void open(AtNode* node, AtOutputIterator*, AtBBox2, AtBBox2, int)
{
    AiMsgInfo("open %s", AiNodeGetName(node));
}

void write(AtNode* node, AtOutputIterator*, AtAOVSampleIterator*, int xo, int yo, int, int)
{
    AiMsgWarning("write %s %d %d", AiNodeGetName(node), xo, yo);
}

const AtCommonMethods common = {nullptr, nullptr, parameters, nullptr, nullptr, nullptr};
const AtDriverNodeMethods driver = {nullptr, nullptr, open, nullptr, nullptr, nullptr, write, nullptr};
const AtNodeMethods methods = {&common, &driver};

AtNodeLib test_lib()
{
    AtNodeLib lib{};
    lib.node_type = AI_NODE_DRIVER;
    lib.output_type = AI_TYPE_NONE;
    lib.name = "testdriver";
    lib.methods = &methods;
    return lib;
}

std::vector<std::string> texts(const AtUniverse* universe)
{
    std::vector<std::string> result;
    for (const ai_standin::LogLine& line : ai_standin::log_lines(universe))
        result.push_back(line.text);
    return result;
}

// Universes made by one test, destroyed at its end.
struct Universes : ::testing::Test {
    std::vector<AtUniverse*> made;
    AtUniverse* make(const char* camera = "persp")
    {
        made.push_back(ai_standin::create_universe(8, 8, camera, true));
        return made.back();
    }
    void TearDown() override
    {
        for (AtUniverse* u : made)
            ai_standin::destroy_universe(u);
    }
};

using StandinLogRouting = Universes;
using StandinNodeQueries = Universes;

TEST_F(StandinLogRouting, OutsideNodeMethodsLinesGoToTheNewestLiveUniverse)
{
    AtUniverse* first = make();
    AtUniverse* second = make();
    AiMsgInfo("to %s", "second");
    ai_standin::destroy_universe(second);
    made.pop_back();
    AiMsgError("to %s", "first");
    const auto lines = ai_standin::log_lines(first);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].text, "to first");
    EXPECT_EQ(lines[0].severity, ai_standin::SEVERITY_ERROR);
}

TEST_F(StandinLogRouting, NodeMethodsLogToTheNodeUniverseOnEveryWorkerThread)
{
    AtUniverse* home = make();
    AtNode* node = ai_standin::create_node(home, test_lib(), "drv");
    ASSERT_NE(node, nullptr);
    AtUniverse* newer = make();
    std::vector<float> z(8 * 8, 0.0f);
    const int written = ai_standin::render(node, {{"Z", AI_TYPE_FLOAT, 1, z.data()}},
                                           AtBBox2{0, 0, 7, 7}, 4, 4);
    EXPECT_EQ(written, 4);
    const std::vector<std::string> lines = texts(home);
    EXPECT_EQ(lines.front(), "open drv");
    EXPECT_EQ(std::set<std::string>(lines.begin() + 1, lines.end()),
              (std::set<std::string>{"write drv 0 0", "write drv 4 0", "write drv 0 4", "write drv 4 4"}));
    EXPECT_TRUE(ai_standin::log_lines(newer).empty());
}

TEST_F(StandinLogRouting, LongLinesAreKeptWhole)
{
    AtUniverse* u = make();
    const std::string text(100000, 'x');
    AiMsgInfo("[%s]", text.c_str());
    EXPECT_EQ(texts(u).at(0), "[" + text + "]");
}

TEST_F(StandinLogRouting, DebugAndFatalLinesKeepTheirOwnSeverity)
{
    AtUniverse* u = make();
    AiMsgDebug("debug %d", 1);
    AiMsgFatal("fatal %s", "two");
    const auto lines = ai_standin::log_lines(u);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, "debug 1");
    EXPECT_EQ(lines[0].severity, ai_standin::SEVERITY_DEBUG);
    EXPECT_EQ(lines[1].text, "fatal two");
    EXPECT_EQ(lines[1].severity, ai_standin::SEVERITY_FATAL);
}

TEST_F(StandinNodeQueries, MissingAndMistypedReadsGiveZeroAndAWarning)
{
    AtUniverse* u = make();
    AtNode* node = ai_standin::create_node(u, test_lib(), "drv");
    ai_standin::clear_log(u);
    EXPECT_EQ(AiNodeGetInt(node, AtString("count")), 3);
    EXPECT_EQ(AiNodeGetInt(node, AtString("mode")), 1);  // an ENUM answers its index
    EXPECT_STREQ(AiNodeGetStr(node, AtString("mode")).c_str(), "on");
    EXPECT_TRUE(ai_standin::log_lines(u).empty());

    const AtRGB missing = AiNodeGetRGB(node, AtString("bgColor"));
    EXPECT_EQ(missing.r + missing.g + missing.b, 0.0f);
    EXPECT_EQ(AiNodeGetFlt(node, AtString("count")), 0.0f);
    EXPECT_EQ(AiNodeGetPtr(AiUniverseGetOptions(u), AtString("xres")), nullptr);
    const auto lines = ai_standin::log_lines(u);
    ASSERT_EQ(lines.size(), 3u);
    for (const auto& line : lines) {
        EXPECT_EQ(line.severity, ai_standin::SEVERITY_WARNING);
        EXPECT_EQ(line.text.rfind("[ai_standin] ", 0), 0u) << line.text;
    }
    EXPECT_EQ(lines[0].text, "[ai_standin] AiNodeGetRGB: node 'drv' has no parameter 'bgColor'");
    EXPECT_EQ(lines[1].text, "[ai_standin] AiNodeGetFlt: parameter 'count' of node 'drv' is of type INT");
}

TEST_F(StandinNodeQueries, OptionsAnswerResolutionCameraAndColourManager)
{
    AtUniverse* with_camera = make("cam1");
    AtNode* options = AiUniverseGetOptions(with_camera);
    EXPECT_EQ(AiNodeGetInt(options, AtString("xres")), 8);
    auto* cam = static_cast<AtNode*>(AiNodeGetPtr(options, AtString("camera")));
    ASSERT_NE(cam, nullptr);
    EXPECT_STREQ(AiNodeGetName(cam), "cam1");
    EXPECT_EQ(AiNodeGetUniverse(cam), with_camera);
    EXPECT_NE(AiNodeGetPtr(options, AtString("color_manager")), nullptr);
    AtUniverse* bare = make(nullptr);
    EXPECT_EQ(AiNodeGetPtr(AiUniverseGetOptions(bare), AtString("camera")), nullptr);
}

using StandinColour = Universes;

TEST_F(StandinColour, DefaultsAndTransformAreTheSameForTheUniverseManagerAndNull)
{
    AtUniverse* u = make("cam");
    AtNode* manager = static_cast<AtNode*>(AiNodeGetPtr(AiUniverseGetOptions(u), AtString("color_manager")));
    for (AtNode* m : {manager, static_cast<AtNode*>(nullptr)}) {
        AtString srgb, linear;
        AiColorManagerGetDefaults(m, srgb, linear);
        EXPECT_STREQ(srgb.c_str(), "sRGB");
        EXPECT_STREQ(linear.c_str(), "linear");
        AtRGBA pixel{0.5f, 0.0f, 1.0f, 0.25f};
        // One pixel in place, as a driver transforms its working pixel.
        EXPECT_TRUE(AiColorManagerTransform(m, srgb, true, true, nullptr, &pixel, nullptr, nullptr,
                                            nullptr));
        EXPECT_NEAR(pixel.r, 0.735357f, 1e-5f);
        EXPECT_EQ(pixel.g, 0.0f);
        EXPECT_NEAR(pixel.b, 1.0f, 1e-6f);
        EXPECT_EQ(pixel.a, 0.25f);
        EXPECT_TRUE(AiColorManagerTransform(m, srgb, false, false, nullptr, &pixel));  // back to linear
        EXPECT_NEAR(pixel.r, 0.5f, 1e-5f);
    }
}

TEST_F(StandinColour, ANodeThatIsNoManagerOrAnUnknownSpaceLeavesEverything)
{
    AtUniverse* u = make("cam");
    AtNode* camera = static_cast<AtNode*>(AiNodeGetPtr(AiUniverseGetOptions(u), AtString("camera")));
    AtString srgb, linear;
    AiColorManagerGetDefaults(camera, srgb, linear);
    EXPECT_EQ(srgb.c_str(), nullptr);
    EXPECT_EQ(linear.c_str(), nullptr);
    AtRGBA pixel{0.5f, 0.5f, 0.5f, 0.5f};
    EXPECT_FALSE(AiColorManagerTransform(camera, AtString("sRGB"), true, true, nullptr, &pixel));
    EXPECT_FALSE(AiColorManagerTransform(nullptr, AtString("ACEScg"), true, true, nullptr, &pixel));
    EXPECT_FALSE(AiColorManagerTransform(nullptr, AtString(), true, true, nullptr, &pixel));
    EXPECT_EQ(pixel.r + pixel.g + pixel.b + pixel.a, 2.0f);
}

// sRGB's output curve at 0.5 and at 0.25.
constexpr float kHalfEncoded = 0.735357f;
constexpr float kQuarterEncoded = 0.537099f;

TEST_F(StandinColour, ARegionOfStridedRgbIsCopiedIntoPackedRgba)
{
    make();
    // 3 x 2 pixels of RGB floats, each followed by one float of padding, and a row gap
    // of two floats.
    constexpr size_t kPixel = 4, kRow = 3 * kPixel + 2;
    std::vector<float> src(2 * kRow, -1.0f);
    for (size_t row = 0; row < 2; ++row)
        for (size_t column = 0; column < 3; ++column)
            for (size_t c = 0; c < 3; ++c)
                src[row * kRow + column * kPixel + c] = row == 0 ? 0.5f : 0.25f;
    const std::vector<float> src_before = src;
    std::vector<AtRGBA> dst(3 * 2 + 1, AtRGBA{9.0f, 9.0f, 9.0f, 9.0f});  // one past the region
    const AtChannelLayout rgb(AI_TYPE_RGB, AI_TYPE_FLOAT, kPixel * sizeof(float),
                              kRow * sizeof(float));
    // The region's image position does not move the buffers: both start at its first pixel.
    const AtBBox2 roi{5, 7, 7, 8};
    ASSERT_TRUE(AiColorManagerTransform(nullptr, AtString("sRGB"), true, false, &roi, src.data(),
                                        &rgb, dst.data(), nullptr));
    for (size_t i = 0; i < 6; ++i) {
        const float expected = i < 3 ? kHalfEncoded : kQuarterEncoded;
        EXPECT_NEAR(dst[i].r, expected, 1e-5f) << i;
        EXPECT_NEAR(dst[i].b, expected, 1e-5f) << i;
        EXPECT_EQ(dst[i].a, 1.0f) << i;  // RGB has no alpha: opaque
    }
    EXPECT_EQ(dst[6].r, 9.0f);
    EXPECT_EQ(src, src_before);
}

TEST_F(StandinColour, ARegionOfRgbaIsTransformedInPlaceAndItsGapsAreLeft)
{
    make();
    // 2 x 2 RGBA pixels, rows three pixels apart: the third pixel of a row is no part of it.
    std::vector<AtRGBA> pixels(2 * 3, AtRGBA{0.5f, 0.5f, 0.5f, 0.75f});
    const AtChannelLayout rgba(AI_TYPE_RGBA, AI_TYPE_FLOAT, sizeof(AtRGBA), 3 * sizeof(AtRGBA));
    const AtBBox2 roi{0, 0, 1, 1};
    ASSERT_TRUE(AiColorManagerTransform(nullptr, AtString("sRGB"), true, true, &roi, pixels.data(),
                                        &rgba));
    for (size_t i = 0; i < pixels.size(); ++i) {
        const bool inside = i % 3 != 2;
        EXPECT_NEAR(pixels[i].g, inside ? kHalfEncoded : 0.5f, 1e-5f) << i;
        EXPECT_EQ(pixels[i].a, 0.75f) << i;
    }
}

TEST_F(StandinColour, UnreadableBuffersAndAnInjectedFailureWriteNothing)
{
    AtUniverse* u = make();
    const AtChannelLayout bytes(AI_TYPE_RGBA, AI_TYPE_BYTE, 4, 4);
    const AtChannelLayout vectors(AI_TYPE_VECTOR, AI_TYPE_FLOAT, 12, 12);
    struct Case {
        const char* name;
        bool no_source;
        const AtChannelLayout* src_layout;
        const AtChannelLayout* dst_layout;
        bool injected;
        const char* warning;  // null: none
    };
    const Case cases[] = {
        {"no source", true, nullptr, nullptr, false,
         "[ai_standin] AiColorManagerTransform: no source pixels"},
        {"byte source", false, &bytes, nullptr, false,
         "[ai_standin] AiColorManagerTransform: only RGB and RGBA pixels of floats can be "
         "transformed"},
        {"vector destination", false, nullptr, &vectors, false,
         "[ai_standin] AiColorManagerTransform: only RGB and RGBA pixels of floats can be "
         "transformed"},
        {"injected failure", false, nullptr, nullptr, true, nullptr},
    };
    for (const Case& c : cases) {
        ai_standin::clear_log(u);
        if (c.injected)
            ai_standin::fail("AiColorManagerTransform");
        AtRGBA src{0.5f, 0.5f, 0.5f, 1.0f};
        AtRGBA dst{9.0f, 9.0f, 9.0f, 9.0f};
        EXPECT_FALSE(AiColorManagerTransform(nullptr, AtString("sRGB"), true, true, nullptr,
                                             c.no_source ? nullptr : &src, c.src_layout, &dst,
                                             c.dst_layout))
            << c.name;
        ai_standin::reset_failures();
        EXPECT_EQ(src.r, 0.5f) << c.name;
        EXPECT_EQ(dst.r, 9.0f) << c.name;
        const std::vector<std::string> expected =
            c.warning ? std::vector<std::string>{c.warning} : std::vector<std::string>{};
        EXPECT_EQ(texts(u), expected) << c.name;
    }
}

TEST(StandinMatrices, PointsTakeTheTranslationAndDirectionsDoNot)
{
    AtMatrix m = AiM4Identity();
    m[0][0] = 2.0f;        // scale x
    m[3][0] = 10.0f;       // translate x
    m[3][2] = -1.0f;       // translate z
    const AtVector point = AiM4PointByMatrixMult(m, AtVector{1.0f, 2.0f, 3.0f});
    const AtVector direction = AiM4VectorByMatrixMult(m, AtVector{1.0f, 2.0f, 3.0f});
    EXPECT_EQ(point.x, 12.0f);
    EXPECT_EQ(point.z, 2.0f);
    EXPECT_EQ(direction.x, 2.0f);
    EXPECT_EQ(direction.z, 3.0f);
    m[2][3] = 1.0f;        // w = z + 1: the point is divided by it
    const AtVector projected = AiM4PointByMatrixMult(m, AtVector{1.0f, 2.0f, 4.0f});
    EXPECT_FLOAT_EQ(projected.x, 12.0f / 5.0f);
    EXPECT_FLOAT_EQ(projected.y, 2.0f / 5.0f);
}

TEST(StandinStrings, InterningGivesOnePointerPerTextAcrossThreads)
{
    std::vector<std::vector<const char*>> seen(8);
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&seen, t] {
            for (int i = 0; i < 500; ++i)
                seen[t].push_back(AtString(("name" + std::to_string(i)).c_str()).c_str());
        });
    for (auto& thread : threads)
        thread.join();
    for (int t = 1; t < 8; ++t)
        EXPECT_EQ(seen[t], seen[0]);
    EXPECT_STREQ(seen[0][42], "name42");
    EXPECT_EQ(AtString("a") == AtString("a"), true);
    EXPECT_EQ(AtString().c_str(), nullptr);
}

TEST(StandinAllocator, CountsOutstandingBlocks)
{
    const size_t before = ai_standin::allocations_outstanding();
    void* a = AiMalloc(0);
    void* b = AiMalloc(64);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(ai_standin::allocations_outstanding(), before + 2);
    AiFree(a);
    AiFree(nullptr);
    AiFree(b);
    EXPECT_EQ(ai_standin::allocations_outstanding(), before);
    ai_standin::fail("AiMalloc");
    EXPECT_EQ(AiMalloc(8), nullptr);
    ai_standin::reset_failures();
    EXPECT_EQ(ai_standin::allocations_outstanding(), before);
}

}  // namespace
