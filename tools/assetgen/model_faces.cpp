// naama.3ds and naamaH.3ds: two sculpted mask-like faces, about 3 units
// tall, looking along +y with the top of the head at +z. Texture
// coordinates are a front projection, so a picture spreads evenly over it.
#include <algorithm>
#include <cmath>

#include "model_shapes.h"
#include "models.h"

namespace {

struct FaceShape {
  float width;       // half width of the head
  float browHeight;  // z of the brow ridge
  float eyeSpacing;  // x of the eye centres
  float noseLength;
  float noseDepth;
  float mouthHeight;
  float lipFullness;
  float chinDepth;
  float cheek;
};

float bump(float x, float z, float cx, float cz, float rx, float rz) {
  const float dx = (x - cx) / rx;
  const float dz = (z - cz) / rz;
  return std::exp(-(dx * dx + dz * dz));
}

// Depth of the face surface (towards the viewer) at (x, z).
float faceDepth(const FaceShape& f, float x, float z) {
  const float ex = x / f.width;
  const float ez = z / 1.5f;
  const float skull = std::sqrt(std::max(0.0f, 1.0f - ex * ex * 0.92f - ez * ez * 0.9f));
  float d = 0.75f * skull;
  // Flatter forehead and a jaw that narrows to the chin.
  d += 0.12f * bump(x, z, 0, f.browHeight + 0.35f, 0.8f, 0.35f);
  d += 0.14f * (bump(x, z, -0.42f, f.browHeight, 0.35f, 0.1f) +
                bump(x, z, 0.42f, f.browHeight, 0.35f, 0.1f));
  d -= 0.22f * (bump(x, z, -f.eyeSpacing, f.browHeight - 0.22f, 0.22f, 0.14f) +
                bump(x, z, f.eyeSpacing, f.browHeight - 0.22f, 0.22f, 0.14f));
  // Eyeballs within the sockets.
  d += 0.08f * (bump(x, z, -f.eyeSpacing, f.browHeight - 0.24f, 0.1f, 0.06f) +
                bump(x, z, f.eyeSpacing, f.browHeight - 0.24f, 0.1f, 0.06f));
  // Nose: a ridge widening down to the tip, nostrils either side.
  const float noseTop = f.browHeight - 0.1f;
  const float noseTip = noseTop - f.noseLength;
  if (z < noseTop + 0.1f && z > noseTip - 0.15f) {
    const float along = std::min(1.0f, std::max(0.0f, (noseTop - z) / f.noseLength));
    const float halfWidth = 0.07f + 0.1f * along;
    d += f.noseDepth * along * std::exp(-(x * x) / (halfWidth * halfWidth)) *
         (z < noseTip ? std::exp(-((z - noseTip) * (z - noseTip)) / 0.004f) : 1.0f);
  }
  d += 0.07f * (bump(x, z, -0.13f, noseTip + 0.02f, 0.08f, 0.06f) +
                bump(x, z, 0.13f, noseTip + 0.02f, 0.08f, 0.06f));
  // Cheekbones.
  d += f.cheek * (bump(x, z, -0.55f, f.browHeight - 0.55f, 0.28f, 0.22f) +
                  bump(x, z, 0.55f, f.browHeight - 0.55f, 0.28f, 0.22f));
  // Lips with the mouth line between them.
  d += f.lipFullness * bump(x, z, 0, f.mouthHeight + 0.06f, 0.28f, 0.05f);
  d += f.lipFullness * 0.9f * bump(x, z, 0, f.mouthHeight - 0.07f, 0.24f, 0.06f);
  d -= 0.05f * bump(x, z, 0, f.mouthHeight, 0.3f, 0.018f);
  d -= 0.04f * bump(x, z, 0, f.mouthHeight - 0.2f, 0.2f, 0.06f);
  // Chin.
  d += f.chinDepth * bump(x, z, 0, -1.12f, 0.28f, 0.15f);
  return d;
}

ModelFile faceFile(const char* name, const FaceShape& shape) {
  ModelMesh m{name, "Face", {}, {}, {}, {}};
  const float halfHeight = 1.5f;
  addGrid(
      m, 72, 56,
      [&](float s, float t) {
        const float z = (t * 2 - 1) * halfHeight;
        // Head outline: an egg, narrower at the chin.
        const float ez = z / halfHeight;
        const float taper = z < 0 ? 1.0f - 0.28f * ez * ez : 1.0f - 0.05f * ez * ez;
        const float halfWidth = shape.width * std::sqrt(std::max(0.0f, 1.0f - ez * ez)) * taper;
        const float x = (s * 2 - 1) * halfWidth;
        return Point3{x, faceDepth(shape, x, z) - 0.3f, z};
      },
      [](Point3) { return Point3{0, 1, 0}; });
  // Front projection: u across, v up, one picture over the whole face.
  for (int i = 0; i < m.vertexCount(); ++i) {
    m.uv[size_t(i) * 2] = (m.xyz[size_t(i) * 3] + shape.width) / (2 * shape.width);
    m.uv[size_t(i) * 2 + 1] = (m.xyz[size_t(i) * 3 + 2] + halfHeight) / (2 * halfHeight);
  }
  // The renderer lights the negated normal of trueNormals faces, so the
  // triangles turn their geometric normal into the head.
  flipWinding(m);
  ModelFile file;
  file.materials = {{"Face", "KIVIO.JPG", "", {0.7f, 0.7f, 0.75f}, {0.5f, 0.5f, 0.6f}}};
  file.meshes = {m};
  return file;
}

}  // namespace

ModelFile makeFaceModel(bool second) {
  const FaceShape calm{1.0f, 0.42f, 0.36f, 0.62f, 0.34f, -0.58f, 0.07f, 0.08f, 0.05f};
  const FaceShape stern{0.94f, 0.48f, 0.33f, 0.74f, 0.42f, -0.66f, 0.05f, 0.13f, 0.09f};
  return second ? faceFile("HeadH", stern) : faceFile("Head", calm);
}
