#pragma once
// Shrinking a link control to its text, by the control's alignment styles.

struct LinkRect {
    int left, top, right, bottom;
};

struct LinkAlignment {
    bool bCenterImage; // SS_CENTERIMAGE: the text is centred vertically
    bool bCenter;      // SS_CENTER
    bool bRight;       // SS_RIGHT
};

// The rectangle the control takes for a text of the given size: vertically centred
// text keeps its middle, else the top stays; centred text keeps its middle, right-
// aligned its right edge, the rest their left edge. Halves round toward zero.
LinkRect FitLinkToText(LinkRect rc, int nTextWidth, int nTextHeight, LinkAlignment align);
