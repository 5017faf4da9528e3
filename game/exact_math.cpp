#include "game/exact_math.h"

// GCC's quad-precision library is the same software on every platform. Its results
// are within a few units of the 113-bit last place, so rounding them to a double is
// correct but for values that lie within about 2^-110 of a halfway point, which no
// game comes near. Its header lives among GCC's own, out of clang's sight (the
// sanitizer build), so the four functions are declared here.
extern "C" {
__float128 sinq(__float128);
__float128 cosq(__float128);
__float128 tanq(__float128);
__float128 atan2q(__float128, __float128);
}

double ExactSin(double x) {
  return static_cast<double>(sinq(x));
}

double ExactCos(double x) {
  return static_cast<double>(cosq(x));
}

double ExactTan(double x) {
  return static_cast<double>(tanq(x));
}

double ExactAtan2(double y, double x) {
  return static_cast<double>(atan2q(y, x));
}
