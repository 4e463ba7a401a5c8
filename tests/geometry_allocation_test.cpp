// The per-frame CPU geometry (the fractal's leaves, the spikes' deformation)
// runs every frame and must not touch the heap. This binary counts every
// allocation made while a check is open.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "models/scene3ds.h"
#include "scenes/spikes.h"
#include "scenes/triangle_fractal.h"

namespace {
std::atomic<long> allocations{0};
}  // namespace

void* operator new(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

TEST(GeometryAllocation, TheCounterSeesHeapUse) {
  const long before = allocations.load();
  auto* probe = new std::string(64, 'x');
  EXPECT_GT(allocations.load() - before, 0);
  delete probe;
}

TEST(GeometryAllocation, FractalLeavesFillTheStaticBatch) {
  static FractalLineBatch batch;
  FractalTriangle root;
  for (int frame = 0; frame < 3; ++frame) {
    const float seconds = 12.5f + 0.02f * float(frame);
    const long before = allocations.load();
    batch.leafCount = 0;
    fractalRootTriangle(seconds, root);
    setFractalOffsets(root, seconds, -0.07f);
    subdivideTriangle(kFractalDepth, root, 0.5f, 0.1f, -0.1f, batch);
    EXPECT_EQ(allocations.load() - before, 0) << "frame " << frame;
    EXPECT_EQ(batch.leafCount, kFractalLeafCount);
  }
}

TEST(GeometryAllocation, SpikeDeformationReusesTheMeshArrays) {
  Scene3ds models(4);
  ASSERT_TRUE(models.load(std::string(LUMIVAARA_BUILD_DIR) + "/Models/sspike.3ds"));
  ASSERT_EQ(models.meshCount, 1);
  Mesh3ds& mesh = *models.meshes[0];
  ASSERT_GT(mesh.vertexCount, 0);
  const Vector3 before0 = mesh.positions[0];
  for (int frame = 0; frame < 3; ++frame) {
    const long before = allocations.load();
    models.resetDeformed(0);
    for (Vector3& v : mesh.deformedPositions) deformSpikeVertex(v, 1.5f, 0.3f, 0.2f * frame, 0.7f);
    models.updateDeformedNormals(0);
    EXPECT_EQ(allocations.load() - before, 0) << "frame " << frame;
  }
  // The deformation worked on the copy: the loaded shape is untouched.
  EXPECT_EQ(mesh.positions[0].x, before0.x);
  EXPECT_EQ(mesh.positions[0].y, before0.y);
  EXPECT_EQ(mesh.positions[0].z, before0.z);
}

}  // namespace
