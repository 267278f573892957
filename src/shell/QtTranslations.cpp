#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace qx {

namespace {

QTranslator*& Loaded() {
    static QTranslator* translator = nullptr;
    return translator;
}

bool& InForce() {
    static bool installed = false;
    return installed;
}

}  // namespace

QString CQtTranslations::Folder() {
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

bool CQtTranslations::Installed() {
    return InForce();
}

bool CQtTranslations::Follow(bool chinese) {
    if (QCoreApplication::instance() == nullptr) {
        return !chinese;
    }
    QTranslator*& translator = Loaded();
    if (chinese && translator == nullptr) {
        translator = new QTranslator(QCoreApplication::instance());
        if (!translator->load(QStringLiteral("qtbase_zh_CN"), Folder()) &&
            !translator->load(QStringLiteral("qt_zh_CN"), Folder())) {
            delete translator;
            translator = nullptr;
            return false;
        }
    }
    if (translator == nullptr) {
        return !chinese;
    }
    if (chinese && !InForce()) {
        InForce() = QCoreApplication::installTranslator(translator);
    } else if (!chinese && InForce()) {
        QCoreApplication::removeTranslator(translator);
        InForce() = false;
    }
    return InForce() == chinese;
}

}  // namespace qx
