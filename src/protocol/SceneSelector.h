#pragma once
// Which of the three output scenes the output mode puts in force.

#include "ByteField.h"

namespace qx {

class CSceneSelector {
  public:
    // Points the selector at an OutputMode byte and remembers scene 1.
    void Attach(U8* outputMode);

    // 0 writes Auto and keeps the remembered scene; 1..3 write and remember; others do nothing.
    void SetMode(int mode);

    // OutputMode when it names a scene (1..3), otherwise the remembered scene. A mode above 3,
    // which only a whole image from a file or the device can bring, is treated like Auto, so no
    // caller ever addresses a scene beyond the third.
    int SceneInForce() const;

    int RememberedScene() const { return m_remembered.load(std::memory_order_relaxed); }

  private:
    U8* m_mode = nullptr;
    std::atomic<int> m_remembered{1};
};

extern CSceneSelector SceneSelector;

// The scene in force of the editor's image.
inline int SceneInForce() {
    return SceneSelector.SceneInForce();
}

}  // namespace qx
