// The Render View: records every call, keeps the last image.
#include "runtime.h"

#include <maya/MRenderView.h>

#include <algorithm>

using namespace maya_runtime;

namespace {

RenderViewArg num(long long v) { return {RenderViewArg::Int, v}; }
RenderViewArg flag(bool v) { return {RenderViewArg::Bool, v ? 1 : 0}; }
// A pointer argument shows as None when null, True otherwise.
RenderViewArg nullOr(const void* p) { return {p ? RenderViewArg::Bool : RenderViewArg::None, p ? 1 : 0}; }

// Records the call, then gives the status it ends with before its own work:
// an injected failure, or kFailure without a Render View. Success is kSuccess.
MStatus begin(const char* operation, std::vector<RenderViewArg> args) {
    RenderViewState& rv = state().renderView;
    rv.calls.push_back({operation, std::move(args)});
    MStatus status;
    if (injectedFailure(operation, &status)) return status;
    if (!rv.available) return MStatus(MStatus::kFailure, "The Render View is not available");
    return status;
}

// The largest image the Render View holds, in pixels.
constexpr unsigned long long kMaxPixels = 1ull << 28;

bool fits(unsigned long long width, unsigned long long height) {
    return width > 0 && height > 0 && width * height <= kMaxPixels;
}

bool validRegion(unsigned left, unsigned right, unsigned bottom, unsigned top) {
    return left <= right && bottom <= top && fits(right + 1ull, top + 1ull);
}

// Makes the image at least (width, height), keeping the pixels it has.
void growImage(RenderViewState& rv, unsigned width, unsigned height) {
    if (rv.hasImage && width <= rv.width && height <= rv.height) return;
    unsigned w = rv.hasImage ? std::max(width, rv.width) : width;
    unsigned h = rv.hasImage ? std::max(height, rv.height) : height;
    std::vector<float> grown(size_t(w) * h * 4, 0.0f);
    for (unsigned y = 0; rv.hasImage && y < rv.height; ++y)
        std::copy_n(&rv.pixels[size_t(y) * rv.width * 4], size_t(rv.width) * 4,
                    &grown[size_t(y) * w * 4]);
    rv.pixels.swap(grown);
    rv.width = w;
    rv.height = h;
    rv.hasImage = true;
}

}  // namespace

bool MRenderView::doesRenderEditorExist() { return state().renderView.available; }
MStatus MRenderView::setCurrentCamera(MDagPath&) {
    return begin("MRenderView::setCurrentCamera", {});
}

MStatus MRenderView::startRender(unsigned int width, unsigned int height,
                                 bool doNotClearBackground, bool immediateFeedback) {
    MStatus status = begin("MRenderView::startRender",
                           {num(width), num(height), flag(doNotClearBackground), flag(immediateFeedback)});
    if (!status) return status;
    if (!fits(width, height))
        return MStatus(MStatus::kInvalidParameter, "The image size must be from 1 x 1 up to 2^28 pixels");
    RenderViewState& rv = state().renderView;
    // A new size, or a cleared background, starts from a black image.
    if (!doNotClearBackground || !rv.hasImage || rv.width != width || rv.height != height) {
        rv.pixels.assign(size_t(width) * height * 4, 0.0f);
        rv.width = width;
        rv.height = height;
        rv.hasImage = true;
    }
    return status;
}

MStatus MRenderView::startRegionRender(unsigned int imageWidth, unsigned int imageHeight,
                                       unsigned int regionLeft, unsigned int regionRight,
                                       unsigned int regionBottom, unsigned int regionTop,
                                       bool doNotClearBackground, bool immediateFeedback) {
    MStatus status = begin("MRenderView::startRegionRender",
                           {num(imageWidth), num(imageHeight), num(regionLeft), num(regionRight),
                            num(regionBottom), num(regionTop), flag(doNotClearBackground),
                            flag(immediateFeedback)});
    if (!status) return status;
    if (!fits(imageWidth, imageHeight) ||
        !validRegion(regionLeft, regionRight, regionBottom, regionTop) ||
        regionRight >= imageWidth || regionTop >= imageHeight)
        return MStatus(MStatus::kInvalidParameter, "Invalid region");
    RenderViewState& rv = state().renderView;
    if (!doNotClearBackground || !rv.hasImage || rv.width != imageWidth || rv.height != imageHeight) {
        rv.pixels.assign(size_t(imageWidth) * imageHeight * 4, 0.0f);
        rv.width = imageWidth;
        rv.height = imageHeight;
        rv.hasImage = true;
    }
    return status;
}

MStatus MRenderView::updatePixels(unsigned int left, unsigned int right, unsigned int bottom,
                                  unsigned int top, RV_PIXEL* pPixels, bool isHdr,
                                  const unsigned int numberOfAOVs, const RV_AOV* const pAOVs) {
    MStatus status = begin("MRenderView::updatePixels",
                           {num(left), num(right), num(bottom), num(top), flag(isHdr),
                            num(numberOfAOVs), nullOr(pAOVs)});
    if (!status) return status;
    if (!pPixels || !validRegion(left, right, bottom, top))
        return MStatus(MStatus::kInvalidParameter, "Invalid region");
    RenderViewState& rv = state().renderView;
    // Pixels may arrive without startRender (as after a failed one): the image
    // then grows to hold the region.
    if (!fits(std::max<unsigned long long>(right + 1ull, rv.width), std::max<unsigned long long>(top + 1ull, rv.height)))
        return MStatus(MStatus::kInvalidParameter, "Invalid region");
    growImage(rv, right + 1, top + 1);
    const unsigned regionWidth = right - left + 1;
    for (unsigned y = bottom; y <= top; ++y) {
        const RV_PIXEL* src = pPixels + size_t(y - bottom) * regionWidth;
        float* dst = &rv.pixels[(size_t(y) * rv.width + left) * 4];
        for (unsigned x = 0; x < regionWidth; ++x, ++src, dst += 4) {
            dst[0] = src->r;
            dst[1] = src->g;
            dst[2] = src->b;
            dst[3] = src->a;
        }
    }
    return status;
}

MStatus MRenderView::refresh(unsigned int left, unsigned int right, unsigned int bottom,
                             unsigned int top) {
    MStatus status = begin("MRenderView::refresh", {num(left), num(right), num(bottom), num(top)});
    if (!status) return status;
    if (!validRegion(left, right, bottom, top))
        return MStatus(MStatus::kInvalidParameter, "Invalid region");
    return status;
}

MStatus MRenderView::endRender() { return begin("MRenderView::endRender", {}); }
