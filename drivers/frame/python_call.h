#pragma once
// The one way the drivers call into the host's Python: a function of the module
// mtoa_callbacks, imported anew on every call, under the interpreter lock.

#define PY_SSIZE_T_CLEAN
#include <Python.h>

namespace korvane {

// Makes the argument tuple of one call, as a new reference; null (with a Python error
// set or not) when an object could not be made. Borrows the callable it wraps.
class ArgumentBuilder {
public:
    template <class Build>
    ArgumentBuilder(const Build& build)  // implicit: callers pass a lambda
        : build_(&invoke<Build>), callable_(&build) {}

    PyObject* operator()() const { return build_(callable_); }

private:
    template <class Build>
    static PyObject* invoke(const void* callable) {
        return (*static_cast<const Build*>(callable))();
    }

    PyObject* (*build_)(const void*);
    const void* callable_;
};

// Calls mtoa_callbacks.<function_name>(*arguments) and ignores its result. The arguments are
// built only once the function has been found. Failures are written to the renderer's log;
// nothing is raised and nothing is kept once the call returns.
void call_mtoa_callback(const char* function_name, const ArgumentBuilder& build_arguments);

// The same for a function called without arguments.
void call_mtoa_callback(const char* function_name);

// Gives up one reference, if there is one. A function, not the macro: in some Python
// versions Py_XDECREF is a statement, which cannot stand in an expression.
inline void release_reference(PyObject* object) { Py_XDECREF(object); }

// Packs new references into one tuple and gives them up; null when any of them, or the
// tuple, could not be made.
template <class... Objects>
PyObject* pack_new_references(Objects*... objects) {
    PyObject* tuple = (... && (objects != nullptr))
                          ? PyTuple_Pack(sizeof...(objects), objects...)
                          : nullptr;
    (release_reference(objects), ...);
    return tuple;
}

}  // namespace korvane
