#include "scenes/walker.h"

#include <algorithm>
#include <cmath>

#include "math/two_joint_ik.h"
#include "raycast/ray_world.h"

namespace {

constexpr float kLiftArc = 1.256636f;  // 72 degrees of the lift arc
constexpr float kHalfPi = 1.570795f;

// Hip height over a planted foot dx away with the legs at reach r. A step
// longer than the reach would leave no real height; the hip then sits on
// the ground line instead of becoming NaN.
float hipHeight(float r, float dx) { return std::sqrt(std::max(0.0f, r * r - dx * dx)); }

// Position, axis and local axes of a tube part: unit x scaled by axisLength
// and the unit axes, all turned by rotateZ(angle).
void placeTube(RayObject& o, const Vector3& at, float axisLength, float angle) {
  o.position.copyFrom(at);
  o.axis.set(axisLength, 0, 0);
  o.axis.rotateZ(angle);
  o.uAxis.set(1, 0, 0);
  o.uAxis.rotateZ(angle);
  o.vAxis.set(0, 1, 0);
  o.vAxis.rotateZ(angle);
  o.wAxis.set(0, 0, 1);
  o.wAxis.rotateZ(angle);
}

// Body parts: the local axes get a fixed twist about y before the tilt.
void placeBodyPart(RayObject& o, const Vector3& at, float axisLength, float angle) {
  o.position.copyFrom(at);
  o.axis.set(axisLength, 0, 0);
  o.axis.rotateZ(angle);
  Vector3* axes[3] = {&o.uAxis, &o.vAxis, &o.wAxis};
  const Vector3 units[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  for (int i = 0; i < 3; ++i) {
    axes[i]->copyFrom(units[i]);
    axes[i]->rotateY(0.8482293f);
    axes[i]->rotateZ(angle);
  }
}

void turnTube(RayObject& o, float heading) {
  o.position.rotateY(heading);
  o.axis.rotateY(heading);
  o.uAxis.rotateY(heading);
  o.vAxis.rotateY(heading);
  o.wAxis.rotateY(heading);
}

}  // namespace

Walker::Walker(float thighA_, float shinA_, float thighB_, float shinB_, float stepLength_,
               float liftRadius_, float hipWidth_)
    : thighA(thighA_),
      shinA(shinA_),
      thighB(thighB_),
      shinB(shinB_),
      reachA((thighA_ + shinA_) * 0.9999f),
      reachB((thighB_ + shinB_) * 0.9999f),
      stepLength(stepLength_),
      liftRadius(liftRadius_),
      hipWidth(hipWidth_),
      position(-20, 0, 0) {}

WalkerParts Walker::addWalkerParts(RayWorld& world, int legTexture, int kneeTexture,
                                   float bodyRadius, float bodyHeight_, float legRadiusA,
                                   float kneeRadiusA, float legRadiusB, float kneeRadiusB) {
  const Vector3 legColour(0.4f, 0, 0.2f);
  const Vector3 bodyColour(0.1f, 0, 0);
  auto tube = [&](float radius, float length, const Vector3& colour) {
    const int id = world.addTube({.axis = {1, 0, 0}, .radius = radius, .length = length},
                                 {.textureName = legTexture, .textureScale = 0.2f,
                                  .castsShadow = true, .receivesShadow = true});
    RayObject* o = world.lastAdded;
    o->specularGain = 1.0f;
    o->colour.copyFrom(colour);
    return id;
  };
  auto ball = [&](float radius) {
    const int id = world.addSphere({.radius = radius},
                                   {.textureName = kneeTexture, .textureScale = 0.2f,
                                    .castsShadow = true, .receivesShadow = true});
    world.lastAdded->specularGain = 1.0f;
    return id;
  };
  WalkerParts parts;
  parts.thighA = tube(legRadiusA, thighA, legColour);
  parts.shinA = tube(legRadiusA, shinA, legColour);
  parts.thighB = tube(legRadiusB, thighB, legColour);
  parts.shinB = tube(legRadiusB, shinB, legColour);
  parts.neck = tube(bodyRadius, bodyHeight_, bodyColour);
  parts.body = tube(bodyRadius, 0, bodyColour);
  parts.kneeA = ball(kneeRadiusA);
  parts.kneeB = ball(kneeRadiusB);
  bodyHeight = bodyHeight_;
  return parts;
}

void Walker::poseWalker(float f) {
  const float e = stepLength;
  const float g = liftRadius;
  const float halfWidth = hipWidth * 0.5f;
  const float c = std::cos(kLiftArc);
  const float s = std::sin(kLiftArc);
  const float arcEnd = g * (1.0f - c);  // x where the lift arc hands over to the swing
  float k;
  float d;

  if (f < 1.0f / 6.0f) {
    const float a = 6.0f * f * kLiftArc;
    footA.set(g - g * std::cos(a), g * std::sin(a), halfWidth);
    footB.set(e, 0, -halfWidth);
    k = 1.5f * f + 0.5f;
    d = hipHeight(reachB, k * e - e);
  } else if (f < 0.5f) {
    const float v = float((double(f) - 0.16666666666666666) * 2.9999999999999996);
    footA.set(arcEnd + (2.0f * e - arcEnd) * v, g * s * std::cos(kHalfPi * v), halfWidth);
    footB.set(e, 0, -halfWidth);
    k = 0.75f * (v + 1.0f);
    d = hipHeight(reachB, k * e - e);
  } else if (f < 2.0f / 3.0f) {
    const float t = 6.0f * (f - 0.5f);
    const float a = t * kLiftArc;
    footA.set(2.0f * e, 0, halfWidth);
    footB.set(e + g - g * std::cos(a), g * std::sin(a), -halfWidth);
    k = 1.5f + 0.25f * t;
    const float r = (1.0f - t) * reachB + t * reachA;
    d = hipHeight(r, k * e - 2.0f * e);
    if (r > reachB) footB.y += r - reachB;
  } else {
    const float t = float((double(f) - 0.5 - 0.16666666666666666) * 2.9999999999999996);
    footA.set(2.0f * e, 0, halfWidth);
    footB.set(arcEnd + e + (2.0f * e - arcEnd) * t, g * s * std::cos(kHalfPi * t),
              -halfWidth);
    k = 0.75f * (t + 1.0f) + 1.0f;
    const float r = (1.0f - t) * reachA + t * reachB;
    d = hipHeight(r, k * e - 2.0f * e);
    if (r > reachB) footB.y += r - reachB;
  }
  hipA.set(k * e, d, halfWidth);
  hipB.set(k * e, d, -halfWidth);
  footA.add(offset);
  footB.add(offset);
  hipA.add(offset);
  hipB.add(offset);
}

void Walker::updateWalker(float deltaMs, float speed) {
  phase += deltaMs * speed * 0.001f;
  const int n = int(phase);
  poseWalker(phase - float(n));
  const float x0 = hipB.x;
  // Counting whole cycles.
  strideX = x0 + float(n) * stepLength * 2.0f;
  strideDelta = strideX - lastStrideX;
  lastStrideX = strideX;
  position.x += std::cos(heading) * strideDelta;
  position.z += std::sin(heading) * strideDelta;
}

namespace {

// The parts in the order thigh A, shin A, knee A, thigh B, shin B, knee B,
// neck, body.
void placeParts(const Walker& w, RayObject* const parts[8]) {
  RayObject& thighAPart = *parts[0];
  RayObject& shinAPart = *parts[1];
  RayObject& kneeAPart = *parts[2];
  RayObject& thighBPart = *parts[3];
  RayObject& shinBPart = *parts[4];
  RayObject& kneeBPart = *parts[5];
  RayObject& neckPart = *parts[6];
  RayObject& bodyPart = *parts[7];
  const float x0 = w.hipB.x;

  // Legs, each chain rooted at its foot.
  float eA, sA, eB, sB;
  solveTwoJoint(w.hipA.x - w.footA.x, w.hipA.y - w.footA.y, w.shinA, w.thighA, eA, sA);
  solveTwoJoint(w.hipB.x - w.footB.x, w.hipB.y - w.footB.y, w.shinB, w.thighB, eB, sB);
  const float thighAngleA = sA + eA + 3.14159f;
  const float thighAngleB = sB + eB + 3.14159f;

  placeTube(thighAPart, w.hipA, 1.0f, -thighAngleA);
  placeTube(shinAPart, w.footA, 1.0f, -sA);
  Vector3 knee(w.shinA, 0, 0);
  knee.rotateZ(-sA);
  kneeAPart.position.copyFrom(w.footA + knee);

  placeTube(thighBPart, w.hipB, 1.0f, -thighAngleB);
  placeTube(shinBPart, w.footB, 1.0f, -sB);
  knee.set(w.shinB, 0, 0);
  knee.rotateZ(-sB);
  kneeBPart.position.copyFrom(w.footB + knee);

  // Body, tilted between the two thighs.
  const Vector3 mid = w.hipB * 0.5f + w.hipA * 0.5f;
  const float h = 0.45f * thighAngleA + 0.45f * thighAngleB + 0.3f - 3.14159f;
  Vector3 lift(0, w.bodyHeight - 0.25f, 0);
  lift.rotateZ(h - kHalfPi);
  const Vector3 anchor = mid + lift;
  placeBodyPart(neckPart, anchor, 1.1f, h);
  placeBodyPart(bodyPart, anchor, 0.97f, h + 3.14159f);

  // Into the walker's frame: stance hip at x = 0, sideways offset removed.
  for (int i = 0; i < 8; ++i) {
    parts[i]->position.x -= x0;
    parts[i]->position.z -= w.offset.z;
  }

  // Heading.
  RayObject* tubes[6] = {&thighAPart, &shinAPart, &thighBPart, &shinBPart, &neckPart, &bodyPart};
  for (RayObject* o : tubes) turnTube(*o, w.heading);
  kneeAPart.position.rotateY(w.heading);
  kneeBPart.position.rotateY(w.heading);

  // Into the world.
  for (int i = 0; i < 8; ++i) {
    parts[i]->position.add(w.position);
    parts[i]->position.z += w.offset.z;
  }
}

}  // namespace

void placeWalker(const Walker& walker, const WalkerParts& p, RayWorld& world) {
  RayObject* o = world.objects;
  RayObject* const parts[8] = {&o[p.thighA], &o[p.shinA], &o[p.kneeA], &o[p.thighB],
                               &o[p.shinB],  &o[p.kneeB], &o[p.neck],  &o[p.body]};
  placeParts(walker, parts);
}

Vector3 walkerBodyPosition(const Walker& walker) {
  RayObject scratch[8];
  RayObject* const parts[8] = {&scratch[0], &scratch[1], &scratch[2], &scratch[3],
                               &scratch[4], &scratch[5], &scratch[6], &scratch[7]};
  placeParts(walker, parts);
  return scratch[7].position;
}
