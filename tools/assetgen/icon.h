// The program's icon: the ringed planet, painted from the demo's own gas giant
// and ring pictures, on a transparent background.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// side x side RGBA, top row first, straight (not premultiplied) alpha.
std::vector<uint8_t> paintIcon(int side);

// Writes <outDir>/Icons/<N>x<N>/lumivaara.png for each size the desktop's
// icon theme looks for. False with a line on stderr if one cannot be written.
bool writeIcons(const std::string& outDir);
