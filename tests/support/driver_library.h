#pragma once
// Test hosts load the driver libraries by path, as the renderer does. Include after
// <gtest/gtest.h>; KORVANE_BUILT_PLUGIN_DIR names the build's plug-in folder.

#include <ai_standin.h>
#include <dlfcn.h>

#include <cstdlib>
#include <string>

// The build's plug-in folder, unless the environment names another.
inline std::string plugin_dir() {
    const char* dir = std::getenv("KORVANE_PLUGIN_DIR");
    return dir ? dir : KORVANE_BUILT_PLUGIN_DIR;
}

// The NodeLoader of the driver library `name` of that folder; null (and a test failure)
// when it does not load.
inline AtNodeLoaderFunc load_driver(const std::string& name) {
    const std::string path = plugin_dir() + "/" + name + ".so";
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) ADD_FAILURE() << dlerror();
    return library ? reinterpret_cast<AtNodeLoaderFunc>(dlsym(library, "NodeLoader")) : nullptr;
}
