#include "gesture/gesture.h"

void ConfigureGestures() {}

void HandleGesture(HGESTUREINFO handle) { CloseGestureInfoHandle(handle); }
