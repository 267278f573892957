#pragma once
// What a curve set needs of the slider that follows a band's gain during a drag. The skinned
// bitmap slider implements it; the EQ layer stays free of widgets.

namespace qx {

class ILinkedSlider {
  public:
    virtual ~ILinkedSlider() = default;
    // Position = maximum + minimum - value, so the top of a vertical slider is the maximum.
    virtual void SetPosInverted(int value) = 0;
    virtual int GetPosInverted() const = 0;
};

}  // namespace qx
