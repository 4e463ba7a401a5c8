// Sky, planet and ring pictures, and the sphere-map environments.
#include <algorithm>
#include <cmath>

#include "image_generators.h"
#include "noise.h"

Picture makeCloudySky(int size) {
  Picture p(size, size);
  paintEach(p, [&](float u, float v) {
    const float cloud = fbm(u, v, 4, 4, 7, 0.55f, 141);
    // The same field a little towards the light: brighter where it thins that way.
    const float towardsSun = fbm(u - 0.006f, v - 0.010f, 4, 4, 7, 0.55f, 141);
    const float cover = smoothstep(-0.08f, 0.32f, cloud);
    const float thick = smoothstep(0.05f, 0.55f, cloud);
    const float lit = clamp01(0.6f + 4.0f * (cloud - towardsSun));
    const float haze = 0.5f + 0.5f * fbm(u, v, 1, 2, 3, 0.5f, 142);
    Rgb blue = mix(rgb255(46, 92, 176), rgb255(120, 170, 226), haze);
    Rgb white = mix(rgb255(150, 156, 172), rgb255(250, 250, 252), lit * (1 - 0.4f * thick));
    return mix(blue, white, cover);
  });
  return p;
}

Picture makePlanetRing(int size) {
  Picture p(size, size);
  paintEach(p, [&](float u, float v) {
    const float dx = u - 0.5f, dy = v - 0.5f;
    const float r = std::sqrt(dx * dx + dy * dy);
    // Radial profile from noise along the radius only: concentric bands.
    const float broad = tileNoise(r, 0.37f, 24, 1, 151);
    const float fine = tileNoise(r, 0.61f, 160, 1, 152);
    const float finest = tileNoise(r, 0.13f, 480, 1, 153);
    float density = 0.55f + 0.35f * broad + 0.2f * fine + 0.08f * finest;
    // A few sharp dark gaps.
    for (float gap : {0.205f, 0.335f, 0.392f, 0.44f})
      density *= 0.15f + 0.85f * smoothstep(0.0f, 0.006f, std::fabs(r - gap));
    density = clamp01(density);
    const float hue = 0.5f + 0.5f * tileNoise(r, 0.83f, 10, 1, 154);
    const float grain = 0.96f + 0.04f * tileNoise(u, v, 128, 128, 155);
    Rgb tone = mix(rgb255(170, 140, 108), rgb255(232, 222, 200), hue);
    return scale(tone, density * grain);
  });
  return p;
}

Picture makeGasGiant(int size) {
  Picture p(size, size);
  static const Rgb bands[] = {rgb255(236, 222, 190), rgb255(206, 160, 110), rgb255(158, 98, 60),
                              rgb255(240, 234, 220), rgb255(120, 80, 54),  rgb255(214, 186, 140)};
  const int bandCount = int(sizeof(bands) / sizeof(bands[0]));
  paintEach(p, [&](float u, float v) {
    float t = v + 0.03f * fbm(u, v, 4, 8, 5, 0.55f, 161) + 0.008f * fbm(u, v, 16, 32, 3, 0.5f, 162);
    // Storm: an oval eddy that bends the bands around it (u wraps).
    float du = u - 0.3f;
    du -= std::round(du);
    const float dv = v - 0.64f;
    const float oval = std::sqrt((du * du) / (0.09f * 0.09f) + (dv * dv) / (0.04f * 0.04f));
    const float inStorm = 1 - smoothstep(0.6f, 1.0f, oval);
    t += 0.02f * std::sin(oval * 6.0f) * inStorm;
    const float b = 0.5f + 0.5f * tileNoise(0.5f, t, 1, 12, 163) + 0.25f * tileNoise(0.5f, t, 1, 40, 164);
    const float pos = clamp01(b) * float(bandCount - 1);
    const int i = std::min(int(pos), bandCount - 2);
    Rgb c = mix(bands[i], bands[i + 1], pos - float(i));
    const float streak = fbm(u, t, 8, 64, 3, 0.5f, 165);
    c = scale(c, 0.93f + 0.12f * streak);
    c = mix(c, rgb255(196, 96, 66), 0.8f * inStorm * (1 - smoothstep(0.0f, 0.8f, oval)));
    return c;
  });
  return p;
}

namespace {

struct EnvStyle {
  Rgb zenith, horizon, ground, floorNear;
  float clouds;      // 0..1 cloud cover in the sky
  float windows;     // 0..1 strength of a room's bright windows around the horizon
  float ceiling;     // 0..1 lamp overhead
  float treeLine;    // 0..1 dark tree tops along the horizon
  float softboxes;   // 0..1 two large studio lights
  float checker;     // 0..1 contrast of a tiled floor
  float greyscale;   // 0..1 desaturation
  uint32_t seed;
};

constexpr float kPi = 3.14159265f;

// A soft-edged rectangle in azimuth and elevation.
float panel(float azimuth, float elevation, float az0, float az1, float el0, float el1, float soft) {
  return smoothstep(az0 - soft, az0 + soft, azimuth) * (1 - smoothstep(az1 - soft, az1 + soft, azimuth)) *
         smoothstep(el0 - soft, el0 + soft, elevation) * (1 - smoothstep(el1 - soft, el1 + soft, elevation));
}

Rgb environment(float rx, float ry, float rz, const EnvStyle& s) {
  const float azimuth = std::atan2(rx, -rz);          // -pi..pi, 0 straight ahead
  const float az01 = azimuth / (2 * kPi) + 0.5f;      // 0..1, wraps
  const float elevation = std::asin(std::max(-1.0f, std::min(1.0f, ry)));
  const float ridge = s.treeLine * (0.04f + 0.06f * (0.5f + 0.5f * fbm(az01, 0.3f, 32, 1, 3, 0.6f, s.seed + 1)));
  Rgb c;
  if (elevation > ridge) {
    c = mix(s.horizon, s.zenith, std::pow(clamp01(ry), 0.6f));
    // Clouds on a flat layer overhead, so they shrink towards the horizon.
    const float k = 0.12f / (ry + 0.12f);
    const float cloud = fbm(0.5f + rx * k, 0.5f + rz * k, 3, 3, 5, 0.55f, s.seed + 2);
    c = mix(c, rgb255(244, 244, 240), s.clouds * smoothstep(0.0f, 0.35f, cloud) * smoothstep(0.02f, 0.2f, ry));
  } else if (elevation > 0) {
    c = scale(s.ground, 0.4f);  // tree tops against the sky
  } else {
    const float depth = clamp01(-ry);
    c = mix(s.ground, s.floorNear, std::pow(depth, 0.7f));
    const float k = 1.0f / (-ry + 0.05f);
    const float fx = rx * k, fz = rz * k;  // point on the floor plane
    c = scale(c, 0.85f + 0.3f * (0.5f + 0.5f * fbm(0.5f + fx * 0.1f, 0.5f + fz * 0.1f, 8, 8, 4, 0.5f, s.seed + 3)));
    if (s.checker > 0) {
      const bool odd = ((int(std::floor(fx * 1.5f)) + int(std::floor(fz * 1.5f))) & 1) != 0;
      c = scale(c, odd ? 1.0f - s.checker * smoothstep(0.0f, 0.3f, depth) : 1.0f);
    }
  }
  if (s.windows > 0) {
    // Six tall windows around the room, each split by a cross bar; wall between them.
    const float cell = fract(az01 * 6.0f);
    const bool inWindow = cell > 0.2f && cell < 0.6f && elevation > -0.05f && elevation < 0.7f;
    const bool onBar = std::fabs(cell - 0.40f) < 0.015f || std::fabs(elevation - 0.3f) < 0.02f;
    if (inWindow && !onBar) c = mix(c, rgb255(255, 255, 250), s.windows);
    else if (elevation > -0.02f) c = mix(c, scale(s.horizon, 0.7f + 0.3f * clamp01(ry)), s.windows * 0.85f);
  }
  if (s.softboxes > 0) {
    const float box = std::max(panel(azimuth, elevation, -1.3f, -0.6f, 0.15f, 0.85f, 0.08f),
                               panel(azimuth, elevation, 0.9f, 1.4f, 0.05f, 0.6f, 0.08f));
    c = mix(c, rgb255(255, 252, 246), s.softboxes * box);
  }
  if (s.ceiling > 0) {
    const float lamp = std::exp(-((rx * rx + rz * rz) / 0.02f)) * smoothstep(0.6f, 0.9f, ry);
    c = mix(c, rgb255(255, 252, 240), s.ceiling * lamp);
  }
  const float grey = 0.3f * c.r + 0.59f * c.g + 0.11f * c.b;
  return mix(c, rgb(grey, grey, grey), s.greyscale);
}

// A chrome ball seen from the front (the GL sphere-map layout): texel (u, v)
// shows the direction reflected off the ball's normal there. Texels outside
// the disc repeat its rim so filtering never reaches black.
Picture sphereMap(int size, const EnvStyle& style) {
  Picture p(size, size);
  paintEach(p, [&](float u, float v) {
    float sx = 2 * u - 1, sy = 1 - 2 * v;
    float r2 = sx * sx + sy * sy;
    if (r2 > 0.998f) {
      const float k = std::sqrt(0.998f / r2);
      sx *= k;
      sy *= k;
      r2 = 0.998f;
    }
    const float nz = std::sqrt(1 - r2);
    const float rx = 2 * nz * sx, ry = 2 * nz * sy, rz = 2 * nz * nz - 1;
    // A little darkening towards the rim, where the ball reflects at grazing angles.
    return scale(environment(rx, ry, rz, style), 0.8f + 0.2f * nz);
  });
  return p;
}

}  // namespace

Picture makeEnvGrey(int size) {
  EnvStyle s{rgb255(230, 230, 230), rgb255(150, 150, 150), rgb255(96, 96, 96), rgb255(40, 40, 40),
             0.0f, 0.95f, 0.9f, 0.0f, 0.0f, 0.35f, 1.0f, 171};
  return sphereMap(size, s);
}

Picture makeEnvBlue(int size) {
  EnvStyle s{rgb255(40, 90, 200), rgb255(170, 200, 240), rgb255(40, 52, 80), rgb255(14, 18, 34),
             0.7f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 172};
  return sphereMap(size, s);
}

Picture makeEnvGreen(int size) {
  EnvStyle s{rgb255(120, 170, 150), rgb255(200, 230, 190), rgb255(50, 96, 36), rgb255(16, 34, 12),
             0.5f, 0.0f, 0.0f, 0.8f, 0.0f, 0.0f, 0.0f, 173};
  return sphereMap(size, s);
}

Picture makeEnvNeutral(int size) {
  EnvStyle s{rgb255(120, 118, 114), rgb255(176, 172, 166), rgb255(110, 106, 100), rgb255(44, 42, 40),
             0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.2f, 174};
  return sphereMap(size, s);
}
