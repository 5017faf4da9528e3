#include <cfloat>
#include <cmath>

#include "game/exact_math.h"

// In WebAssembly long double is IEEE quadruple precision, computed by the same
// kind of software as GCC's quad-precision library, and it rounds to the same
// doubles: a seed plays the same game in the browser as on the desktop. The
// double functions of the browser's C library round their own way.
static_assert(LDBL_MANT_DIG == 113, "long double must be quadruple precision");

double ExactSin(double x) {
  return static_cast<double>(sinl(x));
}

double ExactCos(double x) {
  return static_cast<double>(cosl(x));
}

double ExactTan(double x) {
  return static_cast<double>(tanl(x));
}

double ExactAtan2(double y, double x) {
  return static_cast<double>(atan2l(y, x));
}
