// Tracing one grid point.
#include "raycast/ray_trace.h"

#include <cmath>

#include "effects/light_shafts.h"
#include "math/view_camera.h"
#include "raycast/ray_math.h"
#include "raycast/ray_primitives.h"

using namespace raymath;

void rayBeginFrame(RayContext& ctx, RayWorld& world) {
  ctx.world = &world;
  ctx.cameraPosition = world.camera->position;
  ctx.lightPosition = world.light->position;
  ctx.lightDistance = length(sub(ctx.lightPosition, ctx.cameraPosition));
  world.prepareFrame();
}

void nearestHit(RayContext& ctx, const int32_t* list, const Vector3& d, RaySample& s) {
  ctx.dir = d;
  ctx.dirDot = dot(d, d);
  s.hitObject = 0;
  s.distance = kRayMissDistance;
  RayObject* objects = ctx.world->objects;
  const int count = list[0];
  for (int i = 1; i <= count; ++i) {
    const int id = list[i];
    const float t = rayIntersect(ctx, objects[id]);
    if (t > 0.0f && t < s.distance) {
      s.distance = t;
      s.hitObject = static_cast<uint8_t>(id);
    }
  }
}

void shadowTest(RayContext& ctx, const int32_t* list, RaySample& s) {
  ctx.kind = kRayFromLight;
  ctx.dir = ctx.lightDir;
  ctx.dirDot = dot(ctx.dir, ctx.dir);
  RayObject* objects = ctx.world->objects;
  const double limit = ctx.lightHitDistance;
  const int count = list[0];
  for (int i = 1; i <= count; ++i) {
    const int id = list[i];
    const RayObject& o = objects[id];
    if (!o.castsShadow) continue;
    const float t = rayIntersect(ctx, o);
    if (t > 0.0f && static_cast<double>(t) + 0.04 < limit) {
      s.shadowObject = static_cast<uint8_t>(id);
      return;
    }
  }
}

void lightSample(RayContext& ctx, RaySample& s) {
  const RayObject& o = *ctx.object;
  const int flags = o.lightFlags;
  const Vector3& l = ctx.lightDir;  // from the light to the hit
  const float bl = -dot(ctx.bounceDir, l);
  if (flags & 2) {
    float a = bl * o.specularGain;
    if (a < 0.0f) a = 0.0f;
    const float a2 = a * a;
    s.shade += a2 * a2;
  }
  if (flags & 16) s.shade += bl * o.sheenGain;
  if (flags & 4) {
    float d = -dot(ctx.normal, l) * o.diffuseGain;
    if (d < 0.0f) d = 0.0f;
    s.shade += d;
  }
  if (flags & 8) {
    const float c = dot(l, ctx.world->light->spotDirection);
    if (c > 0.0f) {
      const float c2 = c * c;
      s.shade = 2.0f * s.shade * c2 * c2 * c;
    } else {
      s.shade = 0.0f;
    }
  }
  if (flags & 1) {
    float f = o.falloffBase - o.falloffGain * std::sqrt(ctx.lightHitDistance / o.falloffRange);
    if (f < 0.0f) f = 0.0f;
    s.shade *= f;
    if (s.shade < 0.0f) s.shade = 0.0f;
  }
  if (flags == 0) s.shade = 1.0f;
}

void shadeRay(RayContext& ctx, const int32_t* hitList, const int32_t* shadowList, Vector3& d,
              RaySample& s) {
  normalize(d);
  ctx.sample = &s;
  s.shade = 1.0f;
  s.distance = 1.0f;
  s.glow = 0.0f;
  s.hitObject = 0;
  s.shadowObject = 0;
  s.shadowCount = 0;
  s.bounceObject = 0;
  s.texU = 0.0f;
  s.texV = 0.0f;
  if (hitList[0] == 0) return;
  nearestHit(ctx, hitList, d, s);
  if (s.hitObject == 0) return;

  RayObject& o = ctx.world->objects[s.hitObject];
  ctx.object = &o;
  ctx.hitOffset = scale(d, s.distance);
  ctx.hitLocal = sub(ctx.hitOffset, originBlock(ctx, o).offset);

  const Vector3 lv = sub(add(ctx.origin, ctx.hitOffset), ctx.lightPosition);
  ctx.lightHitDistance = length(lv);
  ctx.lightDir = Vector3(lv.x / ctx.lightHitDistance, lv.y / ctx.lightHitDistance,
                         lv.z / ctx.lightHitDistance);

  rayTextureAt(ctx, o);
  rayNormalAt(ctx, o);
  normalize(ctx.normal);
  ctx.bounceDir = sub(d, scale(ctx.normal, 2.0f * dot(ctx.normal, d)));

  if (o.receivesShadow) shadowTest(ctx, shadowList, s);
  lightSample(ctx, s);
  if (s.shadowObject != 0) {
    s.shadowCount += 1;
    s.shade *= o.shadowFactor;
  }
}

void traceSample(RayContext& ctx, const int32_t* hitList, const int32_t* shadowList,
                 const Vector3& direction, RaySample& s) {
  ctx.kind = kRayFromCamera;
  ctx.origin = ctx.cameraPosition;
  Vector3 d = direction;
  shadeRay(ctx, hitList, shadowList, d, s);
  if (s.hitObject == 0) return;
  RayWorld& world = *ctx.world;
  RayObject* objects = world.objects;
  if (objects[s.hitObject].reflective != 1) return;

  // 1. Bounce list: the world's ids without the mirror, order kept.
  int32_t bounceList[256];
  int count = 0;
  const int total = world.idList[0];
  for (int i = 1; i <= total; ++i) {
    const int id = world.idList[i];
    if (id != s.hitObject) bounceList[++count] = id;
  }
  bounceList[0] = count;

  // 2. The bounce ray from the primary hit point.
  const Vector3 p = add(ctx.cameraPosition, ctx.hitOffset);
  ctx.kind = kRayFromBounce;
  ctx.origin = p;
  Vector3 b = ctx.bounceDir;
  RaySample rs;
  rs.hitObject = 0;
  rs.shadowObject = 0;
  rs.shadowCount = 0;
  rs.bounceObject = 0;
  rs.distance = 0.0f;
  rs.texU = 0.0f;
  rs.texV = 0.0f;
  rs.shade = 1.0f;
  rs.glow = 0.0f;
  shadeRay(ctx, bounceList, bounceList, b, rs);
  ctx.sample = &s;

  // 3. Highlight of the light seen along the bounce.
  const LightShafts& light = *world.light;
  const Vector3 lp = sub(ctx.lightPosition, p);
  const Vector3 proj = scale(b, dot(b, lp) / dot(b, b));
  const float dPerp = length(sub(lp, proj));
  float g = world.glowGain / (dPerp + light.glowShape.x) - light.glowShape.y;
  if (g > 1.0f) g = 1.0f;
  if (g < 0.0f) g = 0.0f;
  Vector3 lpn = lp;
  normalize(lpn);
  if (dot(lpn, b) > 0.0f && dPerp <= light.glowShape.z * world.glowGain) rs.glow = g;

  // 4. An escaping bounce shows as background.
  if (rs.hitObject == 0) {
    s.hitObject = 0;
    return;
  }
  // 5. The reflection's lighting replaces the mirror's.
  if (rs.shadowObject != 0) {
    s.shadowCount += 1;
    s.shade = rs.shade * objects[rs.hitObject].shadowFactor;
  } else {
    s.shade = rs.shade;
  }
  s.glow += rs.glow;
  s.bounceObject = rs.hitObject;
  s.texU = rs.texU;
  s.texV = rs.texV;
}
