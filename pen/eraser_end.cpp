#include "pen/eraser_end.h"

EraserEndStroke g_eraserEnd = {false, 0, 0};

void BeginPenContact(PenState& pen, EraserEndStroke& stroke, bool eraserEnd) {
    EndEraserEndStroke(pen, stroke);
    if (!eraserEnd || IsEraser(pen)) {
        return;
    }
    stroke = {true, pen.color, pen.width};
    pen.color = ERASER_COLOR;
    pen.width = ERASER_WIDTH;
}

void EndEraserEndStroke(PenState& pen, EraserEndStroke& stroke) {
    if (!stroke.active) {
        return;
    }
    pen.color = stroke.color;
    pen.width = stroke.width;
    stroke.active = false;
}

void LiftPen(PenState& pen, EraserEndStroke& stroke, bool strokeInProgress) {
    if (!strokeInProgress) {
        EndEraserEndStroke(pen, stroke);
    }
}
