// Where the background picture QUORVANE paints what must line up with DLG_MASTER's controls: the
// box of each menu button's label and the calm area behind the wizard's fields, in the picture's
// pixels. The art generator paints from this table and the tests hold it against the template.
//
// The window's size follows its font's dialog base units, and three are common: 6 x 13 (Windows
// 95, NT 4 and later, MS Sans Serif 8 at 96 dpi), 6 x 12 (Wine with its own fonts) and 7 x 13
// (Wine falling back to a wider font). Under these the picture keeps its own size while the buttons
// follow the font: a label sits left of its button's left edge in the narrowest layout, its middle
// row inside the rows that the button covers under both heights, and nothing sits in the rows that
// the shortest window cuts off. Under any other (Large Fonts, 120 dpi, gives 8 x 16, where Exit
// would lie below the picture) the program stretches the picture as the controls are stretched.
#ifndef QUORVANE_PICTURE_LAYOUT_H
#define QUORVANE_PICTURE_LAYOUT_H

#include "resource_ids.h"

// The picture's own size, in which the boxes below are given.
constexpr int kPictureWidth = 640;
constexpr int kPictureHeight = 480;

struct PictureBox {
    int left, top, right, bottom;  // right and bottom exclusive
};

struct BaseUnits {
    int x, y;  // pixels per 4 horizontal and per 8 vertical dialog units
};

// The layouts that the labels hold under at the picture's own size; it is painted for the first.
constexpr BaseUnits kToleratedBaseUnits[] = {
    {6, 13},  // Windows: MS Sans Serif 8 at 96 dpi
    {6, 12},  // Wine with its own fonts
    {7, 13},  // Wine falling back to a wider font
};
constexpr BaseUnits kPaintedBaseUnits = kToleratedBaseUnits[0];

struct MenuLabel {
    int button;  // the control id in DLG_MASTER
    const char* text;
    PictureBox box;  // the lettering and its pointer, nothing outside
};

constexpr MenuLabel kMenuLabels[] = {
    {IDC_PLAY, "Play", {206, 30, 256, 58}},
    {IDC_INSTALL, "Install", {190, 79, 256, 101}},
    {IDC_DIRECTX, "DirectX", {179, 128, 256, 150}},
    {IDC_UNINSTALL, "Uninstall", {167, 176, 256, 198}},
    {IDC_README, "Read Me", {168, 225, 256, 247}},
    {IDC_EXIT, "Exit", {46, 400, 92, 422}},
};

// Dark and even, so that the wizard's texts read well on it under every layout.
constexpr PictureBox kCalmArea = {240, 268, 640, 466};

#endif
