// A host process without Python (a command-line render): it links only the renderer and
// libdl, and loads the driver libraries by path as the renderer does. Each library brings
// its own Python runtime, which no one initialises: every call into Python is logged as an
// error and skipped, and the render goes on.

#include <ai.h>
#include <ai_standin.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <link.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "driver_library.h"

namespace {

const std::string kNotInitialized =
    "E [korvane_disp] Error while sending image buffer(s) to python: Python is not initialized";

// True when a Python runtime library is mapped into the process.
bool python_runtime_loaded() {
    bool found = false;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* result) {
            if (info->dlpi_name && std::strstr(info->dlpi_name, "libpython")) {
                *static_cast<bool*>(result) = true;
            }
            return 0;
        },
        &found);
    return found;
}

// Taken before any test runs, so before any driver is loaded.
const bool kPythonAtStart = python_runtime_loaded();

// The driver's own lines, as "I text" / "E text".
std::vector<std::string> driver_lines(const AtUniverse* universe) {
    std::vector<std::string> lines;
    for (const ai_standin::LogLine& line : ai_standin::log_lines(universe)) {
        if (line.text.rfind("[korvane_disp] ", 0) != 0) continue;
        lines.push_back((line.severity == ai_standin::SEVERITY_ERROR ? "E " : "I ") + line.text);
    }
    return lines;
}

TEST(HostWithoutPython, HasNoPythonRuntimeOfItsOwn) { EXPECT_FALSE(kPythonAtStart); }

class WithoutInterpreter : public testing::TestWithParam<const char*> {};

TEST_P(WithoutInterpreter, RendersAndLogsEveryPythonCall) {
    const std::string name = GetParam();
    const AtNodeLoaderFunc loader = load_driver(name);
    ASSERT_NE(loader, nullptr) << plugin_dir() << " must hold " << name;
    EXPECT_TRUE(python_runtime_loaded());  // the library's own
    AtNodeLib lib{};
    ASSERT_TRUE(loader(0, &lib));

    AtUniverse* universe = ai_standin::create_universe(8, 4, "persp", true);
    AtNode* node = ai_standin::create_node(universe, lib, "aiDriver1");
    ASSERT_NE(node, nullptr);
    ai_standin::clear_log(universe);

    std::vector<float> rgba(8 * 4 * 4, 0.5f), depth(8 * 4, 1.0f), normals(8 * 4 * 3, 0.0f);
    const std::vector<ai_standin::Output> outputs = {{"RGBA", AI_TYPE_RGBA, 4, rgba.data()},
                                                     {"Z", AI_TYPE_FLOAT, 1, depth.data()},
                                                     {"N", AI_TYPE_VECTOR, 3, normals.data()}};
    // Two buckets of 4 x 4 on two threads; only vantrop asks for them.
    const int written = ai_standin::render(node, outputs, AtBBox2{0, 0, 7, 3}, 4, 2);
    const bool streams = name == "vantrop";
    EXPECT_EQ(written, streams ? 2 : 0);

    std::vector<std::string> expected = {"I [korvane_disp] Sending render start to python",
                                         kNotInitialized,
                                         "I [korvane_disp] Render start sent to python"};
    for (int bucket = 0; streams && bucket < 2; ++bucket) {
        expected.push_back("I [korvane_disp] driver_write_bucket");
        expected.insert(expected.end(), 3, kNotInitialized);  // RGBA, Z and N
    }
    expected.push_back("I [korvane_disp] driver_close");
    expected.push_back(kNotInitialized);
    EXPECT_EQ(driver_lines(universe), expected);
    EXPECT_EQ(ai_standin::allocations_outstanding(), 0u);
    ai_standin::destroy_universe(universe);
}

INSTANTIATE_TEST_SUITE_P(Drivers, WithoutInterpreter,
                         testing::Values("diffusion", "vantrop", "panorama", "mirelle"));

}  // namespace
