#pragma once

// The model's sines, cosines, tangents and arc tangents, correctly rounded. Each C
// library rounds these its own way in the last bit now and then (glibc's atan2 does,
// on a few blobs' glances a game), and one bit of a blob's pitch is enough to part
// two traces: so that a seed replays the same game bit for bit on Linux and on
// Windows alike, the model takes them from here and never from <cmath>.
double ExactSin(double x);
double ExactCos(double x);
double ExactTan(double x);
double ExactAtan2(double y, double x);
