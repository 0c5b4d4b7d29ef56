#include "pen/pen_state.h"

PenState g_pen = {0x000000, 4, 0x000000, 4, 0x000000, 4};

void RememberPen(PenState& pen) {
    if (!IsEraser(pen)) {
        pen.savedWidth = pen.width;
        pen.savedColor = pen.color;
    }
}

void SwitchEraser(PenState& pen) {
    if (!IsEraser(pen)) {
        pen.savedWidth = pen.width;
        pen.savedColor = pen.color;
        pen.width = ERASER_WIDTH;
        pen.color = ERASER_COLOR;
    } else {
        pen.width = pen.savedWidth;
        pen.color = pen.savedColor;
    }
}
