#include "ui/toolkit/layout.h"

namespace {

void Axis(int& start, int& length, bool nearSide, bool farSide, int grow) {
    if (nearSide && farSide)
        length += grow;
    else if (farSide)
        start += grow;
}

} // namespace

Box Anchored(const Box& design, int anchors, int dx, int dy) {
    Box box = design;
    Axis(box.left, box.width, anchors & kLeft, anchors & kRight, dx);
    Axis(box.top, box.height, anchors & kTop, anchors & kBottom, dy);
    return box;
}

PanelSplit SplitPanel(int panelHeight, int gap) {
    if (panelHeight < 0)
        panelHeight = 0;
    PanelSplit split;
    split.listTop = gap;
    split.listHeight = panelHeight / 2;
    split.logTop = split.listHeight + gap;
    split.logHeight = panelHeight - split.listHeight - gap;
    return split;
}
