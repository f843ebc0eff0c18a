// Fitting a label to its text: every label shows its whole text and covers no other
// control of its window.
#pragma once

class QFont;
class QLabel;

namespace fw::detail {

// The box a label was laid out with, and whether its text wraps.
struct LabelBox {
    int width = 0, height = 0;
    bool wrapped = false;
};

// Grows the label's box for its text in `font`, keeping its left and top: a wrapped
// label downward at its width, a one-line label to the right and down, each up to the
// controls in the way and the window's edge. Where the text does not fit in that room,
// it is drawn smaller, down to a least size.
void FitLabel(QLabel* label, QFont font, const LabelBox& box);

}  // namespace fw::detail
