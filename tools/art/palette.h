#pragma once

// The house colours: one warm, sunny palette for every image of the game.
struct Rgb {
  double r, g, b;
};

// A colour with straight (not premultiplied) alpha.
struct Rgba {
  double r, g, b, a;
  Rgba(double r, double g, double b, double a) : r(r), g(g), b(b), a(a) {}
  Rgba(Rgb c, double a = 1.0) : r(c.r), g(c.g), b(c.b), a(a) {}  // NOLINT: an Rgb is opaque
};

inline Rgb Mix(Rgb a, Rgb b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

constexpr Rgb Hex(unsigned value) {
  return {((value >> 16) & 0xFF) / 255.0, ((value >> 8) & 0xFF) / 255.0, (value & 0xFF) / 255.0};
}

// Outlines: one deep plum ink for lettering, faces and props.
constexpr Rgb kInk = Hex(0x2b1d3a);
constexpr Rgb kWhite = Hex(0xffffff);
constexpr Rgb kCream = Hex(0xfff6e0);

// Sunny grass.
constexpr Rgb kGrassSun = Hex(0xc4ec6a);
constexpr Rgb kGrassLight = Hex(0x9bd94c);
constexpr Rgb kGrass = Hex(0x72c23a);
constexpr Rgb kGrassDark = Hex(0x4f9a2c);
constexpr Rgb kGrassShade = Hex(0x327024);

// Rich brown earth, darkening toward the fire far below.
constexpr Rgb kEarthLight = Hex(0xb87a44);
constexpr Rgb kEarth = Hex(0x8e5430);
constexpr Rgb kEarthDark = Hex(0x5e321c);
constexpr Rgb kEarthDeep = Hex(0x2a130c);
constexpr Rgb kPebble = Hex(0xc9a27a);
constexpr Rgb kEmber = Hex(0xff6a1f);

// Warm wood for the fence.
constexpr Rgb kWoodLight = Hex(0xf2c084);
constexpr Rgb kWood = Hex(0xd99a55);
constexpr Rgb kWoodDark = Hex(0xa8673a);
constexpr Rgb kWoodInk = Hex(0x4e2a16);

// The jelly: bright sky blue, glowing from within.
constexpr Rgb kJellyGlow = Hex(0xb8f4ff);
constexpr Rgb kJellyLight = Hex(0x6fd3ff);
constexpr Rgb kJelly = Hex(0x34a8f5);
constexpr Rgb kJellyDeep = Hex(0x1d63d6);
constexpr Rgb kJellyInk = Hex(0x15307a);

// Faces.
constexpr Rgb kMouth = Hex(0x7d1533);
constexpr Rgb kTongue = Hex(0xff7f98);
constexpr Rgb kEyeWhite = Hex(0xffffff);
constexpr Rgb kEyeShade = Hex(0xd6e8f7);
constexpr Rgb kPupil = Hex(0x1a1436);

// Accents: sunshine, flowers, warnings.
constexpr Rgb kSun = Hex(0xffd43b);
constexpr Rgb kSunDeep = Hex(0xffa51f);
constexpr Rgb kPetal = Hex(0xff8cc6);
constexpr Rgb kPetalDeep = Hex(0xe8559e);
constexpr Rgb kWarning = Hex(0xef3b36);
constexpr Rgb kWarningDeep = Hex(0xb81e25);
