// Code that the renderer's headers reject, one case per macro: built with REJECTED_<case>
// defined, this file must not compile; built with none, it must.

#include <ai.h>

#if defined(REJECTED_OUTPUT_NAME_AS_CHARS)
// Output names come as AtString.
void walk(AtOutputIterator* iterator) {
    const char* name = nullptr;
    int pixel_type = 0;
    const void* data = nullptr;
    while (AiOutputIteratorGetNext(iterator, &name, &pixel_type, &data)) {
    }
}
#endif

#if defined(REJECTED_STRING_FROM_CHARS)
// Making an AtString interns its text: it is never made implicitly.
AtString label() {
    AtString text = "label";
    return text;
}
#endif

#if defined(REJECTED_METHOD_NAME_REUSED)
// The method names are the renderer's macros; a function of that name expands them.
void driver_open(AtNode* node) { (void)node; }
#endif

#if defined(REJECTED_METHODS_AS_TABLES)
// A plug-in's record holds its methods as an untyped pointer.
const AtCommonMethods* common_methods(const AtNodeLib& lib) { return lib.methods->cmethods; }
#endif

#if defined(REJECTED_PIXEL_POSITION)
// A colour transform takes a region, not the position of one pixel.
bool encode(AtRGBA& pixel) {
    const AtVector2 position{3.0f, 4.0f};
    return AiColorManagerTransform(nullptr, AtString("sRGB"), true, true, &position, &pixel);
}
#endif

#if defined(REJECTED_TYPED_COLOR_POINTERS)
// After the source come its layout, the destination and its layout: no RGB or channel
// pointers.
bool encode(AtRGBA& pixel, AtRGB& rgb, float& channel) {
    return AiColorManagerTransform(nullptr, AtString("sRGB"), true, true, nullptr, &pixel, &rgb,
                                   &channel);
}
#endif

#if defined(REJECTED_MSG_FORMAT)
// The log checks its arguments against the format (REJECTED_MSG_FORMAT names the function).
void report(const char* name) { REJECTED_MSG_FORMAT("bucket %d done", name); }
#endif

int main() { return 0; }
