// RayWorld: the analytic scene the grid ray-caster traces: spheres, tubes,
// planes and discs with their materials, the camera and the light.
//
// A scene builds one world at start-up: it sets the current material fields,
// adds primitives, each described by its shape and surface, e.g.
//   world.addSphere({.radius = 500, .inside = true}, {.textureName = kSky});
// (each add copies the material into the new record and returns its id,
// 1, 2, 3, ...), edits the latest record through lastAdded, and sets camera
// and light. Each frame it moves the camera, light and object
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

// What every add operation takes besides the shape: how the object is
// textured and how it takes part in shadows and reflections.
struct RaySurface {
  int textureName = 0;          // GL texture name bound when drawn
  float textureScale = 1.0f;    // factor on texture coordinates
  bool castsShadow = false;     // tested by shadow rays
  bool receivesShadow = false;  // a shadow ray is cast from its hits
  bool reflective = false;      // a mirror: one bounce ray is traced from its hits
};

// The shapes, one per add operation (world coordinates).

// Rectangle centred on position, 2|edgeU| x 2|edgeV|; the normal is
// edgeU x edgeV. cutOut: a plane with a rectangular hole instead.
struct RayQuad {
  Vector3 position{};
  Vector3 edgeU{};
  Vector3 edgeV{};
  bool cutOut = false;
};

// Horizontal plane y = position.y.
struct RayFloor {
  Vector3 position{};
};

// Plane through position with an (unnormalised) normal; hit where
// inner < distance from position < outer.
struct RayDisc {
  Vector3 position{};
  Vector3 normal{};
  float inner = 0.0f;
  float outer = 0.0f;
};

// Horizontal plane; hit where inner < squared distance from position < outer.
struct RayFloorRing {
  Vector3 position{};
  float inner = 0.0f;
  float outer = 0.0f;
};

// inside: the far root is taken (the camera is inside).
struct RaySphere {
  Vector3 position{};
  float radius = 0.0f;
  bool inside = false;
};

// A sphere keeping the points whose value along cutAxis lies below
// cutLimit (a limit of 1 with a unit axis keeps the half opposite it).
struct RayCutSphere {
  Vector3 position{};
  float radius = 0.0f;
  Vector3 cutAxis{};
  float cutLimit = 0.0f;
};

// Quadric around the (unnormalised) axis from its base position: a
// cylinder for |axis| = 1, a cone for |axis| > 1 and radius 0. length is
// the extent along the axis, <= 0 unbounded.
struct RayTube {
  Vector3 position{};
  Vector3 axis{};
  float radius = 0.0f;
  float length = 0.0f;
  bool inside = false;
};

// A tube whose axis runs along z (addTubeZ) or y (addTubeY), axisLength long.
struct RayAxisTube {
  Vector3 position{};
  float axisLength = 1.0f;
  float radius = 0.0f;
  float length = 0.0f;
  bool inside = false;
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
  // stores position and surface, zero texture offsets, uAxis, vAxis and
  // radius, registers the id, copies the material, sets the ripple defaults
  // and returns the id. Sets lastAdded.
  int addObject(const Vector3& position, const RaySurface& surface);

  // fromLight (light position), then fromCamera (camera position) for every
  // object 1..idList[0].
  void prepareFrame();

  // Add operations: each fills the record at nextId and returns its id.
  int addQuad(const RayQuad& quad, const RaySurface& surface);
  int addFloor(const RayFloor& floor, const RaySurface& surface);
  int addDisc(const RayDisc& disc, const RaySurface& surface);
  int addFloorRing(const RayFloorRing& ring, const RaySurface& surface);
  int addSphere(const RaySphere& sphere, const RaySurface& surface);
  int addCutSphere(const RayCutSphere& sphere, const RaySurface& surface);
  int addTube(const RayTube& tube, const RaySurface& surface);
  int addTubeZ(const RayAxisTube& tube, const RaySurface& surface);
  int addTubeY(const RayAxisTube& tube, const RaySurface& surface);
};
