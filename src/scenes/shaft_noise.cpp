#include "scenes/shaft_noise.h"

#include "effects/light_shafts.h"
#include "effects/light_shafts_steps.h"

void advanceShaftNoise(const LightShafts& light, const ViewCamera& camera,
                       const Vector3& position, int deltaMs, float& noiseClock) {
  // As LightShafts::projectLight decides whether anything is drawn.
  const Vector3 v = position - camera.position;
  float a = v.dot(camera.forward);
  if (a == 0.0f) a = 1e-9f;
  const float intensity = a > 0.25f ? light.flareIntensity / a : 0.0f;
  if (intensity <= 0.0f) return;
  advanceNoiseClock(noiseClock, deltaMs, light.noiseSpeed);
}
