// The rotation preview: while two fingers turn, the ink turned with them, drawn through the view.
#pragma once

// Shows the ink layer turned by `angle` degrees about the canvas centre, through the view. The
// previews of one gesture share one copy of the ink, taken at the first of them.
void DrawRotationPreview(int angle);
// Lets the shared copy go: the gesture has ended, or the ink has changed since it was taken.
void EndRotationPreview();
