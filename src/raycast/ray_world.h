// RayWorld: the analytic scene the grid ray-caster traces: spheres, tubes,
// planes and discs with their materials, the camera and the light.
//
// A scene builds one world at start-up: it sets the current material fields,
// adds primitives (each add copies the material into the new record and
// returns its id, 1, 2, 3, ...), edits the latest record through lastAdded,
// and sets camera and light. Each frame it moves the camera, light and object
// fields and calls renderRayGrid(world) (raycast/ray_grid.h).
//
// The three per-object operations (intersect, normalAt,
// textureAt) are chosen by the record's `kind` (a switch, no function
// pointers): see raycast/ray_primitives.h.
#pragma once

#include <cstdint>

#include "math/vector3.h"

struct ViewCamera;
struct LightShafts;

// Ray kinds: which origin terms the primitive operations read.
enum RayKindIndex : int {
  kRayFromCamera = 0,
  kRayFromLight = 1,
  kRayFromBounce = 2,
};

// Primitive kinds. kNone is an unused record (record 0).
enum class RayShape : uint8_t {
  kNone = 0,
  kQuad,
  kFloor,
  kDisc,
  kFloorRing,
  kSphere,
  kCutSphere,
  kTube,
  kTubeZ,
  kTubeY,
};

// Per-object terms for one ray origin O: kept in the object for the camera
// and the light (renewed once per frame), made per ray for a mirror bounce.
struct RayOriginBlock {
  Vector3 offset;               // position - O
  float squaredDistance = 0;    // |offset|^2
  float negAxisDot = 0;         // -dot(offset, axis)
};

// Two floats (x, y) for the wobble settings.
struct RayPair {
  float x;
  float y;
};

struct RayObject {
  uint8_t castsShadow = 0;      // tested by shadow rays
  uint8_t receivesShadow = 0;   // a shadow ray is cast from its hits
  uint8_t reflective = 0;       // 1 = mirror: one bounce ray is traced
  uint8_t inside = 0;           // spheres, tubes: the far root is taken
  uint8_t cutOut = 0;           // quads: hit outside the rectangle instead
  uint8_t ripple = 0;           // perturb the normal by a sine ripple
  float rippleFrequency = 1.0f;
  float rippleAmplitude = 0.1f;
  float ripplePhase = 0.0f;
  float shadowFactor = 0.0f;    // shade multiplier of a shadowed hit

  // Material, copied from the world by the add operation.
  int32_t lightFlags = 0;       // 1 falloff, 2 specular, 4 diffuse, 8 spot, 16 sheen
  float specularGain = 0.0f;
  float sheenGain = 0.0f;
  float diffuseGain = 0.0f;
  float falloffRange = 0.0f;
  float falloffGain = 0.0f;
  float falloffBase = 0.0f;
  Vector3 colour;               // RGB added to the texture when drawn

  Vector3 cutAxis;              // cut sphere only
  float cutLimit = 0.0f;        // cut sphere only
  Vector3 position;             // plane point, quad centre, sphere centre, tube base
  Vector3 axis;                 // plane normal or tube axis (not normalised for tubes)
  Vector3 uAxis;                // local directions: extents and texture mapping
  Vector3 vAxis;
  Vector3 wAxis;
  float extentA = 0.0f;         // quad half-lengths; ring inner/outer bounds
  float extentB = 0.0f;
  int32_t textureName = 0;      // GL texture name bound when drawn
  float textureScale = 0.0f;
  float textureOffsetA = 0.0f;  // added to texture coordinates (per kind)
  float textureOffsetB = 0.0f;
  float radius = 0.0f;          // sphere or tube radius (addQuad stores its unused float)
  float length = 0.0f;          // tube extent along the axis; <= 0 unbounded

  // fromCamera, fromLight, indexed by the ray kind (kRayFromCamera,
  // kRayFromLight).
  RayOriginBlock from[2];

  RayShape shape = RayShape::kNone;  // selects intersect / normalAt / textureAt

  RayOriginBlock& fromCamera() { return from[kRayFromCamera]; }
  RayOriginBlock& fromLight() { return from[kRayFromLight]; }
  // Renews one block for ray origin `origin`.
  void prepareBlock(int kind, const Vector3& origin);
};

// One traced grid point.
struct RaySample {
  uint8_t hitObject;     // id hit by the primary ray, 0 = nothing
  uint8_t shadowObject;  // id between the hit point and the light, 0 = lit
  uint8_t shadowCount;   // shadow events (0, 1 or 2)
  uint8_t bounceObject;  // id seen in the mirror, 0 = none
  float distance;        // ray parameter of the hit (distance from the camera)
  float texU;
  float texV;
  float shade;           // < 1: alpha; > 1: over-brightened towards the light colour
  float glow;            // additive glow of a mirror reflecting the light
};

struct RayWorld {
  // Allocates count + 1 records and idList entries (record 0 unused) and sets
  // the defaults. camera and light must be set before the first frame.
  explicit RayWorld(int count);
  ~RayWorld();
  RayWorld(const RayWorld&) = delete;
  RayWorld& operator=(const RayWorld&) = delete;

  RayObject* objects = nullptr;     // capacity records; ids start at 1
  RayObject* lastAdded = nullptr;   // record filled by the latest add
  int32_t* idList = nullptr;        // [0] = count, [1..count] = ids 1, 2, 3, ...
  int32_t nextId = 1;
  ViewCamera* camera = nullptr;
  LightShafts* light = nullptr;
  float glowGain = 1.5f;            // numerator of the mirror highlight

  // Current material: copied into every object added afterwards.
  int32_t lightFlags = 1;
  float specularGain = 1.0f;
  float sheenGain = 1.0f;
  float diffuseGain = 1.0f;
  float falloffRange = 10.0f;
  float falloffGain = 1.0f;
  float falloffBase = 1.0f;
  Vector3 colour;                   // (0, 0, 0)
  float shadowFactor = 0.5f;

  int32_t capacity = 0;             // requested count + 1
  bool wobble = false;              // displace the sample positions on screen
  RayPair wobbleFrequency{0.075f, 0.075f};
  RayPair wobblePhase{0.0f, 0.0f};
  RayPair wobbleAmplitude{10.0f, 10.0f};
  float depthScale = -1.001f;       // z of the far end of the depth mapping
  float depthGain = 1.0f;           // factor on distance in the depth mapping

  // Common part of every add operation on the record at nextId:
  // stores the arguments, zero texture offsets, uAxis, vAxis and radius,
  // registers the id, copies the material, sets the ripple defaults and
  // returns the id. Sets lastAdded.
  int addObject(const Vector3& position, int textureName, float textureScale,
                uint8_t castsShadow, uint8_t receivesShadow, uint8_t reflective);

  // fromLight (light position), then fromCamera (camera position) for every
  // object 1..idList[0].
  void prepareFrame();

  // --- Add operations. Vectors as three floats x, y, z, in the
  // argument order scenes use; each also has a Vector3 overload. ---

  // Rectangle centred on position, 2|edgeU| x 2|edgeV|; cutOut = hole.
  // `unused` is stored in radius and read by nothing.
  int addQuad(float px, float py, float pz, float ux, float uy, float uz, float vx,
              float vy, float vz, uint8_t cutOut, float unused, int textureName,
              float textureScale, uint8_t castsShadow, uint8_t receivesShadow,
              uint8_t reflective);
  int addQuad(const Vector3& position, const Vector3& edgeU, const Vector3& edgeV,
              uint8_t cutOut, float unused, int textureName, float textureScale,
              uint8_t castsShadow, uint8_t receivesShadow, uint8_t reflective);

  // Horizontal plane y = position.y.
  int addFloor(float px, float py, float pz, int textureName, float textureScale,
               uint8_t castsShadow, uint8_t receivesShadow, uint8_t reflective);
  int addFloor(const Vector3& position, int textureName, float textureScale,
               uint8_t castsShadow, uint8_t receivesShadow, uint8_t reflective);

  // Plane through position with the (unnormalised) normal; hit where
  // inner < distance from position < outer.
  int addDisc(float px, float py, float pz, float nx, float ny, float nz, float inner,
              float outer, int textureName, float textureScale, uint8_t castsShadow,
              uint8_t receivesShadow, uint8_t reflective);
  int addDisc(const Vector3& position, const Vector3& normal, float inner, float outer,
              int textureName, float textureScale, uint8_t castsShadow,
              uint8_t receivesShadow, uint8_t reflective);

  // Horizontal plane; hit where inner < squared distance < outer.
  int addFloorRing(float px, float py, float pz, float inner, float outer, int textureName,
                   float textureScale, uint8_t castsShadow, uint8_t receivesShadow,
                   uint8_t reflective);
  int addFloorRing(const Vector3& position, float inner, float outer, int textureName,
                   float textureScale, uint8_t castsShadow, uint8_t receivesShadow,
                   uint8_t reflective);

  int addSphere(float px, float py, float pz, float radius, uint8_t inside, int textureName,
                float textureScale, uint8_t castsShadow, uint8_t receivesShadow,
                uint8_t reflective);
  int addSphere(const Vector3& position, float radius, uint8_t inside, int textureName,
                float textureScale, uint8_t castsShadow, uint8_t receivesShadow,
                uint8_t reflective);

  // `inside` has no effect on this kind.
  int addCutSphere(float px, float py, float pz, float radius, float cx, float cy, float cz,
                   float cutLimit, uint8_t inside, int textureName, float textureScale,
                   uint8_t castsShadow, uint8_t receivesShadow, uint8_t reflective);
  int addCutSphere(const Vector3& position, float radius, const Vector3& cutAxis,
                   float cutLimit, uint8_t inside, int textureName, float textureScale,
                   uint8_t castsShadow, uint8_t receivesShadow, uint8_t reflective);

  // Quadric around the (unnormalised) axis: cylinder for |axis| = 1, cone
  // for |axis| > 1 and radius 0. length <= 0: unbounded.
  int addTube(float px, float py, float pz, float ax, float ay, float az, float radius,
              float length, uint8_t inside, int textureName, float textureScale,
              uint8_t castsShadow, uint8_t receivesShadow, uint8_t reflective);
  int addTube(const Vector3& position, const Vector3& axis, float radius, float length,
              uint8_t inside, int textureName, float textureScale, uint8_t castsShadow,
              uint8_t receivesShadow, uint8_t reflective);

  // Tube with axis (0, 0, axisLength).
  int addTubeZ(float px, float py, float pz, float axisLength, float radius, float length,
               uint8_t inside, int textureName, float textureScale, uint8_t castsShadow,
               uint8_t receivesShadow, uint8_t reflective);
  int addTubeZ(const Vector3& position, float axisLength, float radius, float length,
               uint8_t inside, int textureName, float textureScale, uint8_t castsShadow,
               uint8_t receivesShadow, uint8_t reflective);

  // Tube with axis (0, axisLength, 0).
  int addTubeY(float px, float py, float pz, float axisLength, float radius, float length,
               uint8_t inside, int textureName, float textureScale, uint8_t castsShadow,
               uint8_t receivesShadow, uint8_t reflective);
  int addTubeY(const Vector3& position, float axisLength, float radius, float length,
               uint8_t inside, int textureName, float textureScale, uint8_t castsShadow,
               uint8_t receivesShadow, uint8_t reflective);
};
