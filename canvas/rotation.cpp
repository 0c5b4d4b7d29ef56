#include "canvas/rotation.h"

void RotateLayerQuarterTurn(HBITMAP, int) {}

void DrawRotationPreview(int) {}
