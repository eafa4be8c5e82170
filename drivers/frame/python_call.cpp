#include "python_call.h"

#include <ai.h>

#include <stdexcept>

#include "log_text.h"

namespace korvane {
namespace {

constexpr char kModuleName[] = "mtoa_callbacks";

// Owns one reference and gives it up when it goes out of scope.
class Reference {
public:
    explicit Reference(PyObject* object) : object_(object) {}
    ~Reference() { Py_XDECREF(object_); }
    Reference(const Reference&) = delete;
    Reference& operator=(const Reference&) = delete;

    PyObject* get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    PyObject* object_;
};

// A failed step: Python's error indicator is cleared first, so that the lock is never
// given back with an error still set.
[[noreturn]] void fail(const char* message) {
    PyErr_Clear();
    throw std::runtime_error(message);
}

// Shows the traceback of an exception raised by the called function. SystemExit is shown
// as unraisable instead: printing it the usual way would end the renderer's process.
// sys.last_* is left alone so that no frame of the call outlives it.
void report_call_exception(PyObject* function) {
    if (PyErr_ExceptionMatches(PyExc_SystemExit)) {
        PyErr_WriteUnraisable(function);
    } else {
        PyErr_PrintEx(0);
    }
}

// Imported by name on every call and never kept: a module or function that appears
// between two calls is found by the second.
PyObject* import_module() {
    Reference name(PyUnicode_FromString(kModuleName));
    if (!name) fail("Could not build arguments");
    return PyImport_Import(name.get());
}

// Steps between taking and giving back the lock. References are released in the reverse
// order of their making: result, tuple, function, module.
void import_and_call(const char* function_name, const ArgumentBuilder* build_arguments) {
    Reference module(import_module());
    if (!module) fail("Could not import module");

    Reference function(PyObject_GetAttrString(module.get(), function_name));
    if (!function) fail("Could not find function");

    Reference arguments(build_arguments ? (*build_arguments)() : nullptr);
    if (build_arguments && !arguments) fail("Could not build arguments");

    Reference result(PyObject_CallObject(function.get(), arguments.get()));
    if (!result) report_call_exception(function.get());
}

void call(const char* function_name, const ArgumentBuilder* build_arguments) {
    // Without an interpreter (a command-line render) there is no lock to take: taking it
    // would crash the renderer.
    if (!Py_IsInitialized()) {
        AiMsgError(KORVANE_ERROR_FORMAT, "Python is not initialized");
        return;
    }
    const PyGILState_STATE state = PyGILState_Ensure();
    try {
        import_and_call(function_name, build_arguments);
    } catch (const std::exception& error) {
        PyErr_Clear();
        AiMsgError(KORVANE_ERROR_FORMAT, error.what());
    }
    PyGILState_Release(state);
}

}  // namespace

void call_mtoa_callback(const char* function_name, const ArgumentBuilder& build_arguments) {
    call(function_name, &build_arguments);
}

void call_mtoa_callback(const char* function_name) { call(function_name, nullptr); }

}  // namespace korvane
