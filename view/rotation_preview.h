// The rotation preview: while two fingers turn, the ink turned with them, drawn through the view.
#pragma once

// Shows the ink layer turned by `angle` degrees about the canvas centre, through the view.
void DrawRotationPreview(int angle);
