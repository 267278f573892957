#pragma once
// What the equaliser pages remember between visits: the channel each page edits and the bands
// its strips show. They live outside the parameter image and are not sent, stored or loaded;
// start-up values are the reset values below.

namespace qx {

extern int musicChannel;    // 0 left, 1 right; also the EQ number of the channel's curve set
extern int musicFirstBand;  // band index of the first strip
extern int musicLastBand;   // band index of the last strip (first + 9)
extern int micEq;           // EQ number of the microphone edited: 2 Mic 1, 3 Mic 2
extern int micFirstBand;
extern int micLastBand;
extern int selectedEffect;  // EQ number of the effect on show: 4 Echo A, 5 Echo B, 6 Reverb
extern int deqSide;         // EQ number of the dynamic EQ edited: 16 left, 17 right

// Back to the start-up values (left channel, Mic 1, bands 1-10 shown, Echo A).
void ResetPageGlobals();

}  // namespace qx
