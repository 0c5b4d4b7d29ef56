#pragma once

// Prints the composite as the largest centred square of one page.
void PrintCanvas();
