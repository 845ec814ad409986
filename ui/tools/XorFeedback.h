#pragma once

#include "platform/DeviceContext.h"

namespace pq {

// Sets a device context up for feedback that drawing a second time erases: a one-pixel black pen in
// NOT-XOR mode (which inverts what it passes over) and no fill. The previous pen, brush and mode come
// back when it goes out of scope.
class CXorFeedbackScope {
public:
    explicit CXorFeedbackScope(CDeviceContext& context)
        : dc(context), savedPen(dc.SelectPen(CPen{kPenSolid, 1, 0x000000})),
          savedBrush(dc.SelectBrush(CBrush{kBrushHollow, 0})), savedRop(dc.SetROP2(kR2NotXorPen)) {}
    ~CXorFeedbackScope() {
        dc.SelectPen(savedPen);
        dc.SelectBrush(savedBrush);
        dc.SetROP2(savedRop);
    }
    CXorFeedbackScope(const CXorFeedbackScope&) = delete;
    CXorFeedbackScope& operator=(const CXorFeedbackScope&) = delete;

private:
    CDeviceContext& dc;
    CPen savedPen;
    CBrush savedBrush;
    int savedRop;
};

} // namespace pq
