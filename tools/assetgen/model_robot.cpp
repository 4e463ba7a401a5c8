// robo.3ds: an industrial arm lying along +x in its rest frame. Mesh i turns
// about its joint at x = pivot[i] (the scroller's joint table), so each mesh
// holds the hub of its own joint and the link up to the next joint.
#include "model_shapes.h"
#include "models.h"

namespace {

constexpr float kPivot[] = {0, 7.28f, 12.39f, 17.5f, 22.56f, 27.67f, 30};
// Joint axes 0..5: z, y, y, z, z, z.
constexpr int kAxis[] = {2, 1, 1, 2, 2, 2};

ModelMesh link(int i, float thickness) {
  ModelMesh m{"Arm" + std::to_string(i), "Robot", {}, {}, {}, {}};
  const float from = kPivot[i];
  const float to = kPivot[i + 1];
  const float h = thickness * 0.5f;
  addCylinder(m, {from, 0, 0}, kAxis[i], h * 1.35f, h * 1.15f, 20);
  addBox(m, {from + h * 0.6f, -h, -h}, {to - h * 0.4f, h, h});
  // A hydraulic ram along the link's side.
  addCylinder(m, {(from + to) * 0.5f, 0, h + 0.12f}, 0, 0.12f, (to - from) * 0.32f, 10);
  return m;
}

}  // namespace

ModelFile makeRobotModel() {
  ModelFile file;
  file.materials = {{"Robot", "KIVIO.JPG", "SPHERE2.JPG", {0.8f, 0.55f, 0.1f}, {0.5f, 0.5f, 0.5f}},
                    {"Steel", "KIVIO.JPG", "SPHERE2.JPG", {0.5f, 0.5f, 0.55f}, {0.8f, 0.8f, 0.8f}}};

  ModelMesh base{"Base", "Steel", {}, {}, {}, {}};
  addCylinder(base, {-0.9f, 0, 0}, 0, 2.6f, 0.3f, 28);   // mounting plate
  addCylinder(base, {0, 0, 0}, 2, 1.1f, 1.1f, 24);       // swivel joint
  addCylinder(base, {3.6f, 0, 0}, 0, 0.75f, 3.2f, 20);   // column
  addCylinder(base, {7.28f, 0, 0}, 1, 0.55f, 1.25f, 16); // shoulder axle
  file.meshes.push_back(base);

  const float thickness[] = {0, 1.4f, 1.2f, 1.0f, 0.85f, 0.7f};
  for (int i = 1; i <= 5; ++i) file.meshes.push_back(link(i, thickness[i]));

  // The gripper closes along the loaded model's z, which is the file's y.
  ModelMesh wrist{"Wrist", "Steel", {}, {}, {}, {}};
  addCylinder(wrist, {30.15f, 0, 0}, 0, 0.55f, 0.35f, 20);
  addBox(wrist, {30.5f, -1.75f, -0.8f}, {30.85f, 1.75f, 0.8f});  // palm plate
  file.meshes.push_back(wrist);

  // Finger 7 on the -z side closes towards +z as the grip grows; fingers 8
  // and 9 on the +z side close towards -z.
  ModelMesh f7{"Finger7", "Steel", {}, {}, {}, {}};
  addBox(f7, {30.85f, -1.7f, -0.3f}, {33.0f, -1.35f, 0.3f});
  addBox(f7, {32.6f, -1.35f, -0.3f}, {33.0f, -1.15f, 0.3f});
  file.meshes.push_back(f7);
  for (int k = 0; k < 2; ++k) {
    const float z0 = k == 0 ? -0.75f : 0.2f;
    ModelMesh f{"Finger" + std::to_string(8 + k), "Steel", {}, {}, {}, {}};
    addBox(f, {30.85f, 1.35f, z0}, {33.0f, 1.7f, z0 + 0.55f});
    addBox(f, {32.6f, 1.15f, z0}, {33.0f, 1.35f, z0 + 0.55f});
    file.meshes.push_back(f);
  }
  return file;
}
