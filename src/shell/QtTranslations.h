#pragma once
// Qt's own translations of its dialogs (the buttons of message boxes and file dialogs) follow
// the interface language: loaded from the system's Qt translations folder while the
// interface is Chinese, removed while it is English. A missing catalogue leaves Qt's English
// buttons; nothing else depends on it.

#include <QString>

class QTranslator;

namespace qx {

class CQtTranslations {
  public:
    // Installs or removes the Chinese catalogue so that it matches `chinese`. Returns true
    // when the catalogue in force matches (false: Chinese asked for and no catalogue found).
    static bool Follow(bool chinese);
    // Where the catalogue was looked for, and whether one is installed now.
    static QString Folder();
    static bool Installed();
};

}  // namespace qx
