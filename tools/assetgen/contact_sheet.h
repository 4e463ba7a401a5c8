// One PNG showing every texture slot's picture as the demo loads it, labelled,
// for judging the generated images by eye.
#pragma once
#include <string>

// Loads each slot's file from <outDir>/Images/ through the demo's own loaders.
// Keyed text slots are shown as the scenes blend them over a dark backdrop.
bool writeContactSheet(const std::string& outDir, const std::string& pngPath);
