#pragma once
// The answerer of the editor's questions (CAsk) for a person at the screen: a message box over
// the main window, with Qt's own button texts in the interface language.

class QWidget;

namespace qx {

// Installs the answerer; the boxes are parented to `owner`.
void InstallMessageBoxAnswerer(QWidget* owner);

}  // namespace qx
