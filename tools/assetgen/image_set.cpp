#include "image_set.h"

#include <cstdio>
#include <filesystem>

#include "image_generators.h"
#include "jpeg_writer.h"
#include "pcx_writer.h"

const std::vector<ImageAsset>& imageAssets() {
  static const std::vector<ImageAsset> assets = {
      {"prock.jpg", ImageFormat::Jpeg, 256, makeRoughRock},
      {"musta.pcx", ImageFormat::PcxPaletted, 32, makeBlack},
      {"laatat.jpg", ImageFormat::Jpeg, 256, makeTiles},
      {"sky5.jpg", ImageFormat::Jpeg, 512, makeCloudySky},
      {"metal003.jpg", ImageFormat::Jpeg, 256, makeBrushedMetal},
      {"matosini.jpg", ImageFormat::Jpeg, 256, makeBlueWorms},
      {"paperimassa2.jpg", ImageFormat::Jpeg, 256, makePaperPulp},
      {"paperimassa2sumea.jpg", ImageFormat::Jpeg, 256, makePaperPulpBlurred},
      {"ruskeahko1.jpg", ImageFormat::Jpeg, 256, makeWeatheredBrown},
      {"vihermaa.jpg", ImageFormat::Jpeg, 256, makeMoss},
      {"sora.jpg", ImageFormat::Jpeg, 256, makeGravel},
      {"grass1.jpg", ImageFormat::Jpeg, 256, makeGreenGrass},
      {"kuivaruoho.jpg", ImageFormat::Jpeg, 256, makeDryGrass},
      {"siniholekangas.jpg", ImageFormat::Jpeg, 256, makeBlueCloth},
      {"ring5.jpg", ImageFormat::Jpeg, 512, makePlanetRing},
      {"env1bw.jpg", ImageFormat::Jpeg, 256, makeEnvGrey},
      {"env1b.jpg", ImageFormat::Jpeg, 256, makeEnvBlue},
      {"env1g.jpg", ImageFormat::Jpeg, 256, makeEnvGreen},
      {"kallio1.jpg", ImageFormat::Jpeg, 256, makeBedrock},
      {"kivio.jpg", ImageFormat::Jpeg, 256, makeStonyGround},
      {"sat.jpg", ImageFormat::Jpeg, 256, makeGasGiant},
      {"sphere2.jpg", ImageFormat::Jpeg, 256, makeEnvNeutral},
      {"creditsO.pcx", ImageFormat::PcxPlanar, 512, [](int) { return makeCredits(); }},
      {"timeText.pcx", ImageFormat::PcxPaletted, 512, [](int) { return makeTimeText(); }},
      {"ukeText.pcx", ImageFormat::PcxPaletted, 512, [](int) { return makeClosingText(); }},
      {"verkkotausta2co.jpg", ImageFormat::Jpeg, 256, makeNet},
  };
  return assets;
}

std::vector<uint8_t> encodeImage(const ImageAsset& asset, const Picture& picture) {
  const std::vector<uint8_t> rgb = toBytes(picture);
  switch (asset.format) {
    case ImageFormat::Jpeg:
      return encodeJpeg(picture.width, picture.height, rgb.data(), 92);
    case ImageFormat::PcxPlanar:
      return encodePcxPlanar(picture.width, picture.height, rgb.data());
    case ImageFormat::PcxPaletted: {
      std::vector<uint8_t> indices(rgb.size() / 3);
      for (size_t i = 0; i < indices.size(); ++i) {
        if (rgb[i * 3] != rgb[i * 3 + 1] || rgb[i * 3] != rgb[i * 3 + 2]) return {};
        indices[i] = rgb[i * 3];
      }
      uint8_t palette[768];
      for (int i = 0; i < 256; ++i) palette[i * 3] = palette[i * 3 + 1] = palette[i * 3 + 2] = uint8_t(i);
      return encodePcxPaletted(picture.width, picture.height, indices.data(), palette);
    }
  }
  return {};
}

bool writeImages(const std::string& outDir) {
  const std::filesystem::path dir = std::filesystem::path(outDir) / "Images";
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  if (error) {
    std::fprintf(stderr, "lumivaara-assetgen: cannot create %s: %s\n", dir.c_str(),
                 error.message().c_str());
    return false;
  }
  bool ok = true;
  for (const ImageAsset& asset : imageAssets()) {
    const Picture picture = asset.make(asset.size);
    const std::vector<uint8_t> bytes = encodeImage(asset, picture);
    const std::string path = (dir / asset.file).string();
    if (bytes.empty()) {
      std::fprintf(stderr, "lumivaara-assetgen: %s: picture does not fit its format\n", asset.file);
      ok = false;
    } else if (!writeBytes(path, bytes)) {
      std::fprintf(stderr, "lumivaara-assetgen: cannot write %s\n", path.c_str());
      ok = false;
    }
  }
  return ok;
}
