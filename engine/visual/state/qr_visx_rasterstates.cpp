#include "visual/state/qr_visx_rasterstates.h"

#include "visual/gl/qr_visx_gl.h"

void QRVISXScissorTest::initialize()
{
    qrGL().disable(GL_SCISSOR_TEST);
}

void QRVISXPolygonOffset::initialize()
{
    qrGL().disable(GL_POLYGON_OFFSET_FILL);
}
