#include "PageGlobals.h"

namespace qx {

int musicChannel = 0;
int musicFirstBand = 0;
int musicLastBand = 9;
int micEq = 2;
int micFirstBand = 0;
int micLastBand = 9;
int selectedEffect = 4;
int deqSide = 16;

void ResetPageGlobals() {
    musicChannel = 0;
    musicFirstBand = 0;
    musicLastBand = 9;
    micEq = 2;
    micFirstBand = 0;
    micLastBand = 9;
    selectedEffect = 4;
    deqSide = 16;
}

}  // namespace qx
