#include "base/TestSeam.h"

TTestSeam& TestSeam() {
    static TTestSeam seam;
    return seam;
}
