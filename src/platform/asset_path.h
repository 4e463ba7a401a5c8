// Where the program's assets live, and how a failed asset is reported.
#pragma once
#include <string>

// Directory of the running executable, with a trailing slash. Assets
// (Images/, Models/, Music/) sit beside the binary, not in the working directory.
const std::string& executableDirectory();

// Absolute path of an asset given relative to the executable's directory
// ("Images/sky5.jpg").
std::string assetPath(const std::string& relative);

// One line on standard error naming the file and why it could not be used.
// Standard output stays reserved for the ray-caster's statistics line.
void reportAssetFailure(const std::string& file, const std::string& reason);
