#ifndef MAYA_STANDIN_MRENDERVIEW_H
#define MAYA_STANDIN_MRENDERVIEW_H
// The Render View. Regions are inclusive with the origin at the bottom left:
// row 0 of the pixels handed to updatePixels is the bottom row. Without a Render
// View every call returns kFailure.

#include <maya/MStatus.h>
#include <maya/MString.h>

// One pixel; a non-HDR image holds 0..255 in each channel.
typedef struct RV_PIXEL {
    float r;
    float g;
    float b;
    float a;
} RV_PIXEL;

// One AOV image passed beside the beauty pixels.
typedef struct RV_AOV {
    unsigned int numberOfChannels;
    MString name;
    float* pPixels;
} RV_AOV;

OPENMAYA_NAMESPACE_OPEN

class OPENMAYA_EXPORT MRenderView {
public:
    static bool doesRenderEditorExist();
    static MStatus setCurrentCamera(MDagPath& camera);

    static MStatus startRender(unsigned int width, unsigned int height,
                               bool doNotClearBackground = false,
                               bool immediateFeedback = false);
    static MStatus startRegionRender(unsigned int imageWidth, unsigned int imageHeight,
                                     unsigned int regionLeft, unsigned int regionRight,
                                     unsigned int regionBottom, unsigned int regionTop,
                                     bool doNotClearBackground = false,
                                     bool immediateFeedback = false);
    static MStatus updatePixels(unsigned int left, unsigned int right, unsigned int bottom,
                                unsigned int top, RV_PIXEL* pPixels, bool isHdr = false,
                                const unsigned int numberOfAOVs = 0,
                                const RV_AOV* const pAOVs = nullptr);
    static MStatus refresh(unsigned int left, unsigned int right, unsigned int bottom,
                           unsigned int top);
    static MStatus endRender();
};

OPENMAYA_NAMESPACE_CLOSE

#endif
