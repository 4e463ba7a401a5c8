// Where the program's assets live, and how a failed asset is reported.
#pragma once
#include <string>

// Directory of the running executable, with a trailing slash.
const std::string& executableDirectory();

// The folder holding Images/, Models/ and Music/, with a trailing slash: the
// executable's own directory (the build tree), else the installed data folder
// ../share/games/lumivaara/ beside the executable's bin/ or games/. When
// neither holds them, says on standard error where it looked and answers the
// executable's directory, so each missing file is named there. Never the
// working directory.
const std::string& assetDirectory();

// Absolute path of an asset given relative to the asset folder
// ("Images/sky5.jpg").
std::string assetPath(const std::string& relative);

// One line on standard error naming the file and why it could not be used.
// Standard output stays reserved for the ray-caster's statistics line.
void reportAssetFailure(const std::string& file, const std::string& reason);
