// Geometry of the main window: anchors and the split of the lower panel.
#pragma once

struct Box {
    int left, top, width, height;
};

enum Anchor { kLeft = 1, kTop = 2, kRight = 4, kBottom = 8 };

// Where a control designed at `design` stands when the client area has grown by dx, dy:
// anchored to both sides of an axis it stretches, to the far side only it moves.
Box Anchored(const Box& design, int anchors, int dx, int dy);

struct PanelSplit {
    int listTop, listHeight, logTop, logHeight;
};

// The list takes the upper half of the panel (fraction dropped) from top `gap` (8 at 96 dots
// per inch); the log view starts `gap` below the list's top plus its height and fills the
// rest down to the panel's bottom.
PanelSplit SplitPanel(int panelHeight, int gap = 8);
