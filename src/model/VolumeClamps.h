#pragma once
// The master volumes never stand above the maxima the System page sets: when a person lowers
// System.musicMax, micMax or effectMax, a volume above it is written down to it as a whole byte
// (its mute bit cleared). Images from the processor and from files are taken as they are.

#include <QObject>

#include "ImageModel.h"

namespace qx {

class CVolumeClamps : public QObject {
    Q_OBJECT
  public:
    explicit CVolumeClamps(CImageModel& model, QObject* parent = nullptr);

  private:
    void OnWritten(const ImageRange& range, const ChangeOrigin& origin);

    CImageModel& m_model;
};

}  // namespace qx
