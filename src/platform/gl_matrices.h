// Identity projection and modelview over the saved ones, for drawing in
// normalised device coordinates; popMatrices puts both back.
#pragma once

void pushIdentityMatrices();
void popMatrices();
