// The procedural 3DS models under <out>/Models/, and a viewer that renders
// each of them to a contact sheet.
#pragma once
#include <string>

#include "tds_writer.h"

ModelFile makeCraftModel();                 // tora.3ds: five parts, nose +x
ModelFile makeSpikeModel();                 // sspike.3ds: one spiky ball
ModelFile makeFaceModel(bool second);       // naama.3ds, naamaH.3ds
ModelFile makeRobotModel();                 // robo.3ds: ten jointed parts along +x
ModelFile makeFontModel(const std::string& fontPath);  // font.3ds: 42 glyphs + plate
ModelFile makeBeltModel();                  // hihna.3ds: belt surface first

// Font the glyphs are cut from.
extern const char* const kModelFontPath;

// Writes all seven files into outDir/Models/; false (and a line on stderr)
// when one could not be made.
bool writeModels(const std::string& outDir);

// Renders every model in outDir/Models/ from several angles into
// sheetDir/<name>.png through the program's own loader and renderer.
bool writeModelSheets(const std::string& outDir, const std::string& sheetDir);
