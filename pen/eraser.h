#pragma once

// Refreshes the eraser item on the menu bar from the pen and remembers a pen that is not white.
void UpdateEraserMenuItem();
void ToggleEraser();
