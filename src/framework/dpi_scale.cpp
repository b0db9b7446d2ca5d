#include "dpi_scale.h"

#include <cstdint>

int DpiScale::Rescale(int n, int nFromDpi, int nToDpi) {
    if (nFromDpi <= 0 || nFromDpi == nToDpi)
        return n;
    const int64_t product = static_cast<int64_t>(n) * nToDpi;
    const int64_t half = nFromDpi / 2;
    const int64_t rounded =
        product >= 0 ? (product + half) / nFromDpi : -((-product + half) / nFromDpi);
    return static_cast<int>(rounded);
}
