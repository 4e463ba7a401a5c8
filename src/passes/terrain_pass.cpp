#include "passes/terrain_pass.h"

#include "gfx/scene_region.h"
#include "software/software_passes.h"

namespace {

// Strips are drawn in batches of whole columns: tens of thousands of
// one-column quads per frame cost far less this way than one by one.
struct StripBatch {
  Gfx& gfx;
  const Pass& pass;
  Vertex* vertices;
  int capacity;
  int count = 0;
};

void flushBatch(StripBatch& batch) {
  drawQuads(batch.gfx, batch.pass, batch.vertices, batch.count);
  batch.count = 0;
}

void addVertex(StripBatch& batch, float s, float t, const TerrainStrip& strip, float x, float y) {
  Vertex& v = batch.vertices[batch.count++];
  v.s = s;
  v.t = t;
  v.r = strip.red;
  v.g = strip.green;
  v.b = strip.blue;
  v.a = 0.5f;
  v.x = x;
  v.y = y;
  v.z = strip.depth;
}

void drawColumn(StripBatch& batch, int column, const TerrainStrip* strips, int count) {
  if (batch.count + count * 4 > batch.capacity) flushBatch(batch);
  const float x0 = float(column);
  const float x1 = float(column + 1);
  for (int k = 0; k < count; ++k) {
    const TerrainStrip& s = strips[k];
    if (s.depth < -1.0f) break;  // behind the far plane from here on: clipped whole
    addVertex(batch, s.nearS, s.nearT, s, x0, float(s.row));
    addVertex(batch, s.nearS, s.nearT, s, x1, float(s.row));
    addVertex(batch, s.farS, s.farT, s, x1, float(s.top));
    addVertex(batch, s.farS, s.farT, s, x0, float(s.top));
  }
}

// The strips in band coordinates, plain modulated texturing, nothing
// blended or tested.
void gpuTerrain(Gfx& gfx, const TerrainJob& job) {
  Pass pass = scenePass(Blend::kOff, Combine::kModulate, job.texture);
  pass.modelview = translated(identityMatrix(), -256.0f, -128.0f, 0.0f);
  StripBatch batch{gfx, pass, job.batch, job.batchVertices};
  TerrainStrip strips[kTerrainMaxStrips];
  for (int i = 0; i < kTerrainColumns; ++i) {
    const int count = job.march(i, strips, job.context);
    drawColumn(batch, i, strips, count);
  }
  flushBatch(batch);
}

}  // namespace

void runTerrain(Gfx& gfx, SoftwarePasses* cpu, const TerrainJob& job) {
  TerrainStrip last{};
  if (cpu && softwareTerrain(*cpu, job.texture, job.march, job.context, last)) return;
  gpuTerrain(gfx, job);
}
