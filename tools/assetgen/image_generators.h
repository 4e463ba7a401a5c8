// The procedural pictures behind each image file. Sizes are powers of two;
// material pictures tile in both directions.
#pragma once
#include "picture.h"

Picture makeRoughRock(int size);        // prock.jpg
Picture makeBlack(int size);            // musta.pcx
Picture makeTiles(int size);            // laatat.jpg
Picture makeCloudySky(int size);        // sky5.jpg
Picture makeBrushedMetal(int size);     // metal003.jpg
Picture makeBlueWorms(int size);        // matosini.jpg
Picture makePaperPulp(int size);        // paperimassa2.jpg
Picture makePaperPulpBlurred(int size); // paperimassa2sumea.jpg
Picture makeWeatheredBrown(int size);   // ruskeahko1.jpg
Picture makeMoss(int size);             // vihermaa.jpg
Picture makeGravel(int size);           // sora.jpg
Picture makeGreenGrass(int size);       // grass1.jpg
Picture makeDryGrass(int size);         // kuivaruoho.jpg
Picture makeBlueCloth(int size);        // siniholekangas.jpg
Picture makePlanetRing(int size);       // ring5.jpg
Picture makeBedrock(int size);          // kallio1.jpg
Picture makeStonyGround(int size);      // kivio.jpg
Picture makeGasGiant(int size);         // sat.jpg
Picture makeNet(int size);              // verkkotausta2co.jpg

// Sphere maps: a chrome ball in a lit room under a sky.
Picture makeEnvGrey(int size);          // env1bw.jpg
Picture makeEnvBlue(int size);          // env1b.jpg
Picture makeEnvGreen(int size);         // env1g.jpg
Picture makeEnvNeutral(int size);       // sphere2.jpg

// Text pictures, 512 x 256.
Picture makeCredits();                  // creditsO.pcx
Picture makeTimeText();                 // timeText.pcx
Picture makeClosingText();              // ukeText.pcx
