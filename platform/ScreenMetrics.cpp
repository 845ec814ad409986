#include "platform/ScreenMetrics.h"

namespace pq {

namespace {
int g_screenPixelsPerInch = 96;
}

int ScreenPixelsPerInch() {
    return g_screenPixelsPerInch;
}

void SetScreenPixelsPerInch(int pixelsPerInch) {
    // A screen that reports nothing sensible keeps the default rather than a zero scale.
    if (pixelsPerInch > 0)
        g_screenPixelsPerInch = pixelsPerInch;
}

} // namespace pq
