// 3DS loading: one forward walk over the chunk stream.
//
// Containers are entered (their header consumed, their children read in the
// same pass up to the enclosing bound); named objects, face lists and lights
// bound their children by their own end. The file is trusted for nothing:
// every count is checked against the bytes its chunk holds and every face
// index against the mesh's vertices, and a chunk that reaches past its
// parent fails the load, so no read or write leaves the mesh's arrays.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "models/chunk_ids.h"
#include "models/scene3ds.h"

#include "platform/asset_path.h"

namespace {

constexpr int kMaxNameLength = 63;
constexpr uint32_t kHeaderSize = 6;
// Named objects, face lists and lights nest at most a few deep in a real
// file; the bound keeps a crafted one from exhausting the stack.
constexpr int kMaxNesting = 32;

struct ChunkReader {
  const uint8_t* data;
  size_t size;
  size_t pos = 0;
  Scene3ds* scene;
  Mesh3ds* mesh = nullptr;  // newest mesh made by this load
  int nesting = 0;

  bool has(size_t end, size_t bytes) const { return pos <= end && end - pos >= bytes; }

  uint16_t u16() {
    uint16_t value = uint16_t(data[pos] | (data[pos + 1] << 8));
    pos += 2;
    return value;
  }
  uint32_t u32() {
    uint32_t value = uint32_t(data[pos]) | (uint32_t(data[pos + 1]) << 8) |
                     (uint32_t(data[pos + 2]) << 16) | (uint32_t(data[pos + 3]) << 24);
    pos += 4;
    return value;
  }
  float f32() {
    uint32_t bits = u32();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }
  // Bytes up to a zero or 0xFF byte or the end; keeps the first 63.
  std::string name(size_t end) {
    std::string text;
    while (pos < end) {
      uint8_t byte = data[pos++];
      if (byte == 0 || byte == 0xFF) break;
      if (text.size() < size_t(kMaxNameLength)) text.push_back(char(byte));
    }
    return text;
  }

  bool walk(size_t end);
  bool walkLevel(size_t end);
  bool readObject(size_t end);
  bool readVertices(size_t end);
  bool readFaces(size_t end);
  bool readMapping(size_t end);
};

bool startsWith(const std::string& text, const char* prefix) {
  return text.compare(0, std::strlen(prefix), prefix) == 0;
}

bool ChunkReader::walk(size_t end) {
  if (nesting >= kMaxNesting) return false;
  ++nesting;
  const bool ok = walkLevel(end);
  --nesting;
  return ok;
}

bool ChunkReader::walkLevel(size_t end) {
  while (pos < end) {
    const size_t start = pos;
    if (!has(end, kHeaderSize)) return false;
    const uint16_t id = u16();
    const uint32_t length = u32();
    if (length < kHeaderSize || length > end - start) return false;
    const size_t chunkEnd = start + length;

    switch (id) {
      case kChunkMain:
      case kChunkEditor:
      case kChunkMaterialEntry:
      case kChunkTextureMap:
      case kChunkTriangleMesh:
        continue;  // children follow in this same pass
      case kChunkNamedObject:
        if (!readObject(chunkEnd)) return false;
        break;
      case kChunkVertexList:
        if (!readVertices(chunkEnd)) return false;
        break;
      case kChunkFaceList:
        if (!readFaces(chunkEnd) || !walk(chunkEnd)) return false;
        break;
      case kChunkFaceMaterial: {
        name(chunkEnd);
        if (!has(chunkEnd, 2)) return false;
        const uint16_t count = u16();
        if (!has(chunkEnd, size_t(count) * 2)) return false;
        break;
      }
      case kChunkMappingList:
        if (!readMapping(chunkEnd)) return false;
        break;
      case kChunkLocalAxes:
        if (!has(chunkEnd, 48)) return false;
        break;
      case kChunkLight:
        if (!has(chunkEnd, 12)) return false;
        pos += 12;
        if (!walk(chunkEnd)) return false;
        break;
      case kChunkSpotlight:
        if (!has(chunkEnd, 20)) return false;
        break;
      case kChunkCamera:
        if (!has(chunkEnd, 32)) return false;
        break;
      case kChunkMaterialName:
      case kChunkMapFileName:
        name(chunkEnd);
        break;
      default:  // smoothing groups, colours, versions, keyframer: nothing kept
        break;
    }
    pos = chunkEnd;
    if (pos >= size) return true;
  }
  return true;
}

bool ChunkReader::readObject(size_t end) {
  const std::string objectName = name(end);
  const bool isCamera = startsWith(objectName, "Camera");
  const bool isLight = startsWith(objectName, "Light") || startsWith(objectName, "Omni");
  if (!isCamera && !isLight) {
    if (scene->meshCount >= scene->capacity) return false;
    auto created = std::make_unique<Mesh3ds>();
    const float s = scene->geometryScale;
    created->scale.set(s, s, s);
    mesh = created.get();
    scene->meshes[size_t(scene->meshCount)] = std::move(created);
    scene->meshCount++;
  }
  return walk(end);
}

bool ChunkReader::readVertices(size_t end) {
  // A vertex list must come before the faces that index it.
  if (!mesh || mesh->faceCount > 0 || !has(end, 2)) return false;
  const int32_t n = u16();
  if (!has(end, size_t(n) * 12)) return false;
  mesh->vertexCount = n;
  mesh->positions.assign(size_t(n), Vector3());
  mesh->normals.assign(size_t(n), Vector3());
  mesh->deformedPositions.assign(size_t(n), Vector3());
  mesh->deformedNormals.assign(size_t(n), Vector3());
  mesh->u.assign(size_t(n), 0.0f);
  mesh->v.assign(size_t(n), 0.0f);
  mesh->vertexFaceStart.assign(size_t(n), 0);
  mesh->vertexFaceCount.assign(size_t(n), 0);
  mesh->vertexFaces.clear();
  for (int32_t i = 0; i < n; ++i) {
    const float x = f32();
    const float y = f32();
    const float z = f32();
    mesh->positions[size_t(i)].set(x, -z, y);
  }
  return true;
}

bool ChunkReader::readFaces(size_t end) {
  if (!mesh || !has(end, 2)) return false;
  const int32_t m = u16();
  if (!has(end, size_t(m) * 8)) return false;
  std::vector<int32_t> faces(size_t(m) * 3);
  for (int32_t f = 0; f < m; ++f) {
    for (int corner = 0; corner < 3; ++corner) {
      const int32_t index = u16();
      if (index >= mesh->vertexCount) return false;
      faces[size_t(f) * 3 + size_t(corner)] = index;
    }
    u16();  // edge flags
  }
  mesh->faceCount = m;
  mesh->renderMode = 5;
  mesh->faces = std::move(faces);
  mesh->faceNormals.assign(size_t(m), Vector3());
  mesh->deformedFaceNormals.assign(size_t(m), Vector3());
  computeFaceNormals(*mesh, scene->trueNormals != 0);
  buildAdjacency(*mesh);
  computeVertexNormals(*mesh);
  return true;
}

bool ChunkReader::readMapping(size_t end) {
  if (!mesh || !has(end, 2)) return false;
  const int32_t k = u16();
  if (k > mesh->vertexCount || !has(end, size_t(k) * 8)) return false;
  for (int32_t i = 0; i < k; ++i) {
    mesh->u[size_t(i)] = f32() * scene->uvScale;
    mesh->v[size_t(i)] = f32() * scene->uvScale;
  }
  return true;
}

// Unit vector, or zero for a zero-length input (degenerate triangle).
Vector3 unitOrZero(Vector3 n) {
  const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
  if (length > 0.0f) {
    n.x /= length;
    n.y /= length;
    n.z /= length;
  }
  n.w = 0.0f;
  return n;
}

}  // namespace

void computeFaceNormals(Mesh3ds& mesh, bool trueNormals) {
  for (int32_t f = 0; f < mesh.faceCount; ++f) {
    const int32_t* corner = &mesh.faces[size_t(f) * 3];
    const Vector3& a = mesh.positions[size_t(corner[0])];
    Vector3 n;
    n.setCross(mesh.positions[size_t(corner[1])] - a, mesh.positions[size_t(corner[2])] - a);
    n = unitOrZero(n);
    if (trueNormals) {
      mesh.faceNormals[size_t(f)] = n;
    } else {
      mesh.faceNormals[size_t(f)] = Vector3(-n.z, n.y, n.x);
    }
  }
}

// Counting sort over the faces: the lists come out grouped by vertex and in
// ascending face order, a face naming a vertex twice counted once.
void buildAdjacency(Mesh3ds& mesh) {
  const size_t vertexCount = size_t(mesh.vertexCount);
  mesh.vertexFaceStart.assign(vertexCount, 0);
  mesh.vertexFaceCount.assign(vertexCount, 0);
  auto forEachDistinctCorner = [&mesh](int32_t f, auto&& visit) {
    const int32_t* c = &mesh.faces[size_t(f) * 3];
    visit(c[0]);
    if (c[1] != c[0]) visit(c[1]);
    if (c[2] != c[0] && c[2] != c[1]) visit(c[2]);
  };
  for (int32_t f = 0; f < mesh.faceCount; ++f) {
    forEachDistinctCorner(f, [&mesh](int32_t i) { mesh.vertexFaceCount[size_t(i)]++; });
  }
  int32_t total = 0;
  for (size_t i = 0; i < vertexCount; ++i) {
    mesh.vertexFaceStart[i] = total;
    total += mesh.vertexFaceCount[i];
  }
  mesh.vertexFaces.assign(size_t(total), 0);
  std::vector<int32_t> fill(mesh.vertexFaceStart);
  for (int32_t f = 0; f < mesh.faceCount; ++f) {
    forEachDistinctCorner(f, [&](int32_t i) { mesh.vertexFaces[size_t(fill[size_t(i)]++)] = f; });
  }
}

void computeVertexNormals(Mesh3ds& mesh) {
  for (int32_t i = 0; i < mesh.vertexCount; ++i) {
    Vector3 sum;
    const int32_t start = mesh.vertexFaceStart[size_t(i)];
    for (int32_t k = 0; k < mesh.vertexFaceCount[size_t(i)]; ++k) {
      sum.add(mesh.faceNormals[size_t(mesh.vertexFaces[size_t(start + k)])]);
    }
    mesh.normals[size_t(i)] = unitOrZero(sum);
  }
}

Scene3ds::Scene3ds(int32_t capacity_) : capacity(capacity_ > 0 ? capacity_ : 0) {
  meshes.resize(size_t(capacity));
}

bool Scene3ds::loadFromMemory(const uint8_t* data, size_t size) {
  ChunkReader reader{data, size, 0, this, nullptr};
  return reader.walk(size);
}

bool Scene3ds::load(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    reportAssetFailure(path, "cannot open");
    return false;
  }
  std::vector<uint8_t> bytes;
  bool ok = std::fseek(file, 0, SEEK_END) == 0;
  const long size = ok ? std::ftell(file) : -1;
  ok = ok && size >= 0 && std::fseek(file, 0, SEEK_SET) == 0;
  if (ok) {
    bytes.resize(size_t(size));
    ok = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
  }
  std::fclose(file);
  if (!ok) {
    reportAssetFailure(path, "cannot be read");
    return false;
  }
  // Even an empty 3DS file holds its main chunk's six-byte header.
  if (bytes.size() < 6) {
    reportAssetFailure(path, "too short for a 3DS file");
    return false;
  }
  if (!loadFromMemory(bytes.data(), bytes.size())) {
    reportAssetFailure(path, "malformed 3DS data; meshes before the fault are kept");
    return false;
  }
  return true;
}
