#include "memo/print.h"

void PrintCanvas() {}
