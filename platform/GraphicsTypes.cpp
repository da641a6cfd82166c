#include "platform/GraphicsTypes.h"

#include <algorithm>

bool IntersectRect(RECT& rcOut, const RECT& rcA, const RECT& rcB) {
    RECT rc;
    rc.left = std::max(rcA.left, rcB.left);
    rc.top = std::max(rcA.top, rcB.top);
    rc.right = std::min(rcA.right, rcB.right);
    rc.bottom = std::min(rcA.bottom, rcB.bottom);
    if (IsRectEmpty(rc)) {
        rcOut = RECT{};
        return false;
    }
    rcOut = rc;
    return true;
}

bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
