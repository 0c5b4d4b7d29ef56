#include "records/dpi_scale.h"

#include <climits>

int ScaleLength(int length, int fromDpi, int toDpi) {
    if (fromDpi <= 0 || toDpi <= 0) {
        return length;
    }
    // In 64 bits the product of two ints cannot overflow; only the result is brought back.
    const long long product = static_cast<long long>(length) * toDpi;
    const long long magnitude = product < 0 ? -product : product;
    long long scaled = magnitude / fromDpi;
    if (2 * (magnitude % fromDpi) >= fromDpi) {
        ++scaled;
    }
    if (product < 0) {
        scaled = -scaled;
    }
    if (scaled > INT_MAX) {
        return INT_MAX;
    }
    if (scaled < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(scaled);
}
