// A host application that embeds Python, as Maya or a render farm's Python does: it
// initialises the interpreter that the drivers are built for, puts a receiver written in
// Python on its path, gives the interpreter lock up while the renderer's threads run, and
// renders through every driver of the build with the renderer's C++ API. The drivers take
// the lock on those threads with PyGILState_Ensure.

#define PY_SSIZE_T_CLEAN
#include <Python.h>
#include <ai.h>
#include <ai_standin.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <link.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "driver_library.h"

namespace {

constexpr int kXres = 40;
constexpr int kYres = 24;
constexpr int kBucketSize = 16;  // 3 x 2 buckets, the last column and row clipped
constexpr int kThreads = 4;
constexpr int kChannels = 4;  // alphaMode "fromRGBA"
const AtBBox2 kDataWindow{0, 0, kXres - 1, kYres - 1};

std::vector<std::string> split(const std::string& list) {
    std::vector<std::string> items;
    std::istringstream stream(list);
    for (std::string item; std::getline(stream, item, ',');) items.push_back(item);
    return items;
}

// The Python runtime libraries mapped into the process.
std::set<std::string> python_runtimes() {
    std::set<std::string> found;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* result) {
            if (info->dlpi_name && std::strstr(info->dlpi_name, "/libpython")) {
                static_cast<std::set<std::string>*>(result)->insert(info->dlpi_name);
            }
            return 0;
        },
        &found);
    return found;
}

// The interpreter, started before the first test and ended after the last. In between,
// the host holds the interpreter lock only while it talks to Python itself.
class EmbeddedPython : public testing::Environment {
public:
    void SetUp() override {
        Py_Initialize();
        PyObject* path = PySys_GetObject("path");  // borrowed
        PyObject* receiver_dir = PyUnicode_FromString(KORVANE_RECEIVER_DIR);
        ASSERT_TRUE(path && receiver_dir && PyList_Insert(path, 0, receiver_dir) == 0);
        Py_DecRef(receiver_dir);
        host_thread_ = PyThread_get_thread_ident();
        saved_ = PyEval_SaveThread();
    }

    void TearDown() override {
        PyEval_RestoreThread(saved_);
        Py_FinalizeEx();
    }

    static unsigned long host_thread() { return host_thread_; }

private:
    PyThreadState* saved_ = nullptr;
    static unsigned long host_thread_;
};

unsigned long EmbeddedPython::host_thread_ = 0;

// The interpreter lock, held for one scope.
class InterpreterLock {
public:
    InterpreterLock() : state_(PyGILState_Ensure()) {}
    ~InterpreterLock() { PyGILState_Release(state_); }
    InterpreterLock(const InterpreterLock&) = delete;
    InterpreterLock& operator=(const InterpreterLock&) = delete;

private:
    PyGILState_STATE state_;
};

using Owned = std::unique_ptr<PyObject, void (*)(PyObject*)>;
Owned own(PyObject* object) { return Owned(object, Py_DecRef); }

// One argument as the receiver got it: its Python type and its value.
struct Argument {
    enum Type { kInt, kBool, kStr, kOther } type = kOther;
    long long number = 0;
    std::string text;

    bool operator==(const Argument& other) const {
        return std::tie(type, number, text) == std::tie(other.type, other.number, other.text);
    }
};

Argument integer(long long value) { return {Argument::kInt, value, {}}; }
Argument boolean(bool value) { return {Argument::kBool, value, {}}; }
Argument text(const std::string& value) { return {Argument::kStr, 0, value}; }

std::ostream& operator<<(std::ostream& out, const Argument& argument) {
    switch (argument.type) {
        case Argument::kInt: return out << "int " << argument.number;
        case Argument::kBool: return out << "bool " << (argument.number ? "True" : "False");
        case Argument::kStr: return out << "str '" << argument.text << "'";
        case Argument::kOther: break;
    }
    return out << "another type";
}

Argument argument_of(PyObject* object) {
    if (PyBool_Check(object)) return boolean(object == Py_True);
    if (PyLong_Check(object)) return integer(PyLong_AsLongLong(object));
    if (PyUnicode_Check(object)) return text(PyUnicode_AsUTF8(object));
    return {};
}

// One call that the receiver recorded.
struct Call {
    std::string function;
    std::vector<Argument> arguments;
    std::string block;  // receive_bucket: the bytes copied during the call
    unsigned long thread = 0;
};

// Takes the calls that the receiver recorded since the last take.
std::vector<Call> take_calls() {
    InterpreterLock lock;
    std::vector<Call> calls;
    const Owned module = own(PyImport_ImportModule("mtoa_callbacks"));
    const Owned recorded = own(module ? PyObject_GetAttrString(module.get(), "calls") : nullptr);
    if (!recorded || !PyList_Check(recorded.get())) {
        PyErr_Print();
        ADD_FAILURE() << "the receiver in " << KORVANE_RECEIVER_DIR << " could not be read";
        return calls;
    }
    for (Py_ssize_t i = 0; i < PyList_Size(recorded.get()); ++i) {
        PyObject* entry = PyList_GetItem(recorded.get(), i);  // (function, args, block, thread)
        Call call;
        call.function = PyUnicode_AsUTF8(PyTuple_GetItem(entry, 0));
        PyObject* arguments = PyTuple_GetItem(entry, 1);
        for (Py_ssize_t a = 0; a < PyTuple_Size(arguments); ++a) {
            call.arguments.push_back(argument_of(PyTuple_GetItem(arguments, a)));
        }
        PyObject* block = PyTuple_GetItem(entry, 2);
        if (PyBytes_Check(block)) {
            call.block.assign(PyBytes_AsString(block), size_t(PyBytes_Size(block)));
        }
        call.thread = PyLong_AsUnsignedLong(PyTuple_GetItem(entry, 3));
        calls.push_back(call);
    }
    PyList_SetSlice(recorded.get(), 0, PyList_Size(recorded.get()), nullptr);
    return calls;
}

TEST(EmbeddedInterpreter, IsThePythonOfTheBuildAndTheOnlyOne) {
    const std::string version = Py_GetVersion();
    EXPECT_EQ(version.rfind(KORVANE_BUILD_PYTHON_VERSION ".", 0), 0u) << version;
    for (const std::string& name : split(KORVANE_DRIVERS_BUILT)) load_driver(name);
    // Each driver needs the runtime that the host has loaded already: no second one.
    EXPECT_EQ(python_runtimes().size(), 1u);
}

class EmbeddingHost : public testing::TestWithParam<std::string> {};

TEST_P(EmbeddingHost, RendersAndEveryMessageReachesTheReceiver) {
    const std::string name = GetParam();
    const AtNodeLoaderFunc loader = load_driver(name);
    ASSERT_NE(loader, nullptr) << plugin_dir() << " must hold " << name;
    AtNodeLib lib{};
    ASSERT_TRUE(loader(0, &lib));

    AtUniverse* universe = ai_standin::create_universe(kXres, kYres, "persp", true);
    AtNode* node = ai_standin::create_node(universe, lib, "aiDriver1");
    ASSERT_NE(node, nullptr);
    ai_standin::Value from_rgba;
    from_rgba.i = 1;
    ASSERT_EQ(ai_standin::set_parameter(node, "alphaMode", AI_TYPE_ENUM, from_rgba),
              ai_standin::SetResult::set);
    take_calls();  // nothing left from another test

    std::vector<float> rgba(kXres * kYres * 4, 0.5f), depth(kXres * kYres, 2.0f),
        normals(kXres * kYres * 3, 0.0f);
    for (size_t i = 2; i < normals.size(); i += 3) normals[i] = 1.0f;
    const std::vector<ai_standin::Output> outputs = {{"RGBA", AI_TYPE_RGBA, 4, rgba.data()},
                                                     {"Z", AI_TYPE_FLOAT, 1, depth.data()},
                                                     {"N", AI_TYPE_VECTOR, 3, normals.data()}};
    // The host gives the lock up while the renderer's threads run (it holds none here).
    const int written = ai_standin::render(node, outputs, kDataWindow, kBucketSize, kThreads);
    const std::vector<AtBBox2> buckets = ai_standin::bucket_grid(kDataWindow, kBucketSize);
    const bool streams = name == "vantrop";
    EXPECT_EQ(written, streams ? int(buckets.size()) : 0);

    const std::vector<Call> calls = take_calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls.front().function, "render_setup");
    const std::vector<Argument> setup = {
        text("aiDriver1"), text("persp"), integer(kXres),      integer(kYres),
        integer(kChannels), boolean(false), integer(int(buckets.size())),
        integer(kDataWindow.minx), integer(kDataWindow.miny), integer(kDataWindow.maxx),
        integer(kDataWindow.maxy)};
    EXPECT_EQ(calls.front().arguments, setup);
    EXPECT_EQ(calls.back().function, "render_finished");
    EXPECT_TRUE(calls.back().arguments.empty());

    // Every bucket of every kind exactly once, the three kinds of a bucket under one index,
    // each index once, from the renderer's threads; the block was readable during the call.
    std::map<std::tuple<long long, long long, int>, long long> index_of;  // (xo, yo, kind)
    std::map<long long, std::set<int>> kinds_of_index;
    for (size_t i = 1; i + 1 < calls.size(); ++i) {
        const Call& call = calls[i];
        ASSERT_EQ(call.function, "receive_bucket") << "call " << i;
        ASSERT_EQ(call.arguments.size(), 8u);
        for (const Argument& argument : call.arguments) EXPECT_EQ(argument.type, Argument::kInt);
        const long long index = call.arguments[0].number, xo = call.arguments[1].number,
                        yo = call.arguments[2].number, size_x = call.arguments[3].number,
                        size_y = call.arguments[4].number;
        const int kind = int(call.arguments[6].number);
        EXPECT_EQ(call.arguments[5].number, kChannels);
        EXPECT_NE(call.arguments[7].number, 0);
        EXPECT_EQ(call.block.size(), size_t(size_x * size_y * kChannels));
        EXPECT_NE(call.thread, EmbeddedPython::host_thread());
        EXPECT_TRUE(index_of.emplace(std::make_tuple(xo, yo, kind), index).second)
            << "bucket " << xo << "," << yo << " kind " << kind << " sent twice";
        EXPECT_TRUE(kinds_of_index[index].insert(kind).second);
        const bool in_grid = std::any_of(buckets.begin(), buckets.end(), [&](const AtBBox2& b) {
            return b.minx == xo && b.miny == yo && b.maxx - b.minx + 1 == size_x &&
                   b.maxy - b.miny + 1 == size_y;
        });
        EXPECT_TRUE(in_grid) << "bucket " << xo << "," << yo << " " << size_x << "x" << size_y;
    }
    const size_t messages = streams ? buckets.size() * 3 : 0;  // RGBA, Z and N
    EXPECT_EQ(index_of.size(), messages);
    EXPECT_EQ(kinds_of_index.size(), streams ? buckets.size() : 0);
    for (const auto& [index, kinds] : kinds_of_index) {
        EXPECT_LT(index, static_cast<long long>(buckets.size()));
        EXPECT_EQ(kinds, (std::set<int>{1, 2, 3})) << "bucket index " << index;
    }

    for (const ai_standin::LogLine& line : ai_standin::log_lines(universe)) {
        EXPECT_TRUE(line.severity != ai_standin::SEVERITY_ERROR &&
                    line.severity != ai_standin::SEVERITY_FATAL)
            << line.text;
    }
    ai_standin::destroy_universe(universe);
}

INSTANTIATE_TEST_SUITE_P(Drivers, EmbeddingHost, testing::ValuesIn(split(KORVANE_DRIVERS_BUILT)),
                         [](const testing::TestParamInfo<std::string>& info) {
                             return info.param;
                         });

const testing::Environment* const kPython =
    testing::AddGlobalTestEnvironment(new EmbeddedPython);

}  // namespace
