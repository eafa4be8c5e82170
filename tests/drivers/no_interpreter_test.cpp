// A host process that runs no Python interpreter (a command-line render): every call into
// Python is logged as an error and skipped, and the render goes on.

#include <Python.h>
#include <ai.h>
#include <ai_standin.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

const std::string kNotInitialized =
    "[korvane_disp] Error while sending image buffer(s) to python: Python is not initialized";

// The build's plug-in folder, unless the environment names another.
std::string plugin_dir() {
    const char* dir = std::getenv("KORVANE_PLUGIN_DIR");
    return dir ? dir : KORVANE_BUILT_PLUGIN_DIR;
}

AtNodeLoaderFunc load_driver(const std::string& name) {
    const std::string path = plugin_dir() + "/" + name + ".so";
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) ADD_FAILURE() << dlerror();
    return library ? reinterpret_cast<AtNodeLoaderFunc>(dlsym(library, "NodeLoader")) : nullptr;
}

// The driver's own lines, as "I text" / "E text".
std::vector<std::string> driver_lines(const AtUniverse* universe) {
    std::vector<std::string> lines;
    for (const ai_standin::LogLine& line : ai_standin::log_lines(universe)) {
        if (line.text.rfind("[korvane_disp] ", 0) != 0) continue;
        lines.push_back((line.severity == ai_standin::SEVERITY_ERROR ? "E " : "I ") + line.text);
    }
    return lines;
}

class WithoutInterpreter : public testing::TestWithParam<const char*> {};

TEST_P(WithoutInterpreter, LogsEveryPythonCallAndGoesOn) {
    ASSERT_FALSE(Py_IsInitialized());  // also keeps libpython loaded, as in a real host
    const std::string name = GetParam();
    AtNodeLoaderFunc loader = load_driver(name);
    ASSERT_NE(loader, nullptr) << plugin_dir() << " must hold " << name;
    AtNodeLib lib{};
    ASSERT_TRUE(loader(0, &lib));

    AtUniverse* universe = ai_standin::create_universe(8, 4, "persp", true);
    AtNode* node = ai_standin::create_node(universe, lib, "aiDriver1");
    ASSERT_NE(node, nullptr);
    ai_standin::clear_log(universe);

    std::vector<float> rgba(4 * 4 * 4, 0.5f), depth(4 * 4, 1.0f), normals(4 * 4 * 3, 0.0f);
    const std::vector<ai_standin::Output> outputs = {
        {"RGBA", AI_TYPE_RGBA, 4, rgba.data()},
        {"Z", AI_TYPE_FLOAT, 1, depth.data()},
        {"N", AI_TYPE_VECTOR, 3, normals.data()}};
    const AtBBox2 window{0, 0, 7, 3};
    ai_standin::open_driver(node, outputs, window, window, 4);
    const auto* methods = static_cast<const AtNodeMethods*>(lib.methods);
    const bool streams = methods->dmethods &&
                         static_cast<const AtDriverNodeMethods*>(methods->dmethods)
                             ->DriverNeedsBucket(node, 0, 0, 4, 4, 0);
    if (streams) ai_standin::write_bucket(node, outputs, 0, 0, 4, 4);
    ai_standin::close_driver(node, outputs);

    std::vector<std::string> expected = {"I [korvane_disp] Sending render start to python",
                                         "E " + kNotInitialized,
                                         "I [korvane_disp] Render start sent to python"};
    if (streams) {
        expected.push_back("I [korvane_disp] driver_write_bucket");
        expected.insert(expected.end(), 3, "E " + kNotInitialized);  // RGBA, Z and N
    }
    expected.push_back("I [korvane_disp] driver_close");
    expected.push_back("E " + kNotInitialized);
    EXPECT_EQ(driver_lines(universe), expected);
    EXPECT_EQ(ai_standin::allocations_outstanding(), 0u);
    EXPECT_FALSE(Py_IsInitialized());
    ai_standin::destroy_universe(universe);
}

INSTANTIATE_TEST_SUITE_P(Drivers, WithoutInterpreter,
                         testing::Values("diffusion", "vantrop", "panorama", "mirelle"));

}  // namespace
