#ifndef MAYA_STANDIN_MMESHISECTACCELPARAMS_H
#define MAYA_STANDIN_MMESHISECTACCELPARAMS_H
// Acceleration settings of the mesh ray queries. The runtime accelerates with a
// bounding-volume hierarchy whatever the grid sizes say; the value only decides
// whether a query is accelerated.

#include <maya/MTypes.h>

OPENMAYA_NAMESPACE_OPEN

class OPENMAYA_EXPORT MMeshIsectAccelParams {
public:
    MMeshIsectAccelParams() : fMode(0), fGridX(0), fGridY(0), fGridZ(0) {}

    // The runtime's own: how the value was made.
    enum Mode { kNone = 0, kAutoGrid = 1, kUniformGrid = 2 };
    MMeshIsectAccelParams(int mode, int x, int y, int z) : fMode(mode), fGridX(x), fGridY(y), fGridZ(z) {}
    int mode() const { return fMode; }
    int gridX() const { return fGridX; }
    int gridY() const { return fGridY; }
    int gridZ() const { return fGridZ; }

private:
    int fMode;
    int fGridX, fGridY, fGridZ;
};

OPENMAYA_NAMESPACE_CLOSE

#endif
