#include "link_fit.h"

LinkRect FitLinkToText(LinkRect rc, int nTextWidth, int nTextHeight, LinkAlignment align) {
    if (align.bCenterImage) {
        const int dy = (rc.bottom - rc.top - nTextHeight) / 2;
        rc.top += dy;
        rc.bottom -= dy;
    } else {
        rc.bottom = rc.top + nTextHeight;
    }
    if (align.bCenter) {
        const int dx = (rc.right - rc.left - nTextWidth) / 2;
        rc.left += dx;
        rc.right -= dx;
    } else if (align.bRight) {
        rc.left = rc.right - nTextWidth;
    } else {
        rc.right = rc.left + nTextWidth;
    }
    return rc;
}
