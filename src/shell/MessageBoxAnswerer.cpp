#include "MessageBoxAnswerer.h"

#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <vector>

#include "Ask.h"
#include "QtTranslations.h"
#include "TextPair.h"

namespace qx {

namespace {

QMessageBox::StandardButton Standard(CAsk::Kind kind) {
    switch (kind) {
        case CAsk::Yes:
            return QMessageBox::Yes;
        case CAsk::No:
            return QMessageBox::No;
        case CAsk::Ok:
            return QMessageBox::Ok;
        case CAsk::Cancel:
            return QMessageBox::Cancel;
        case CAsk::Save:
            return QMessageBox::Save;
        case CAsk::Discard:
            return QMessageBox::Discard;
        case CAsk::Custom:
            break;
    }
    return QMessageBox::NoButton;
}

}  // namespace

void InstallMessageBoxAnswerer(QWidget* owner) {
    QPointer<QWidget> parent(owner);
    CAsk::SetAnswerer([parent](const CAsk::Question& q) {
        CQtTranslations::Follow(useChinese);
        QMessageBox box(QMessageBox::Question, q.caption, q.text, QMessageBox::NoButton,
                        parent.data());
        std::vector<QAbstractButton*> buttons;
        for (const CAsk::Choice& c : q.choices) {
            const QMessageBox::StandardButton standard = Standard(c.kind);
            buttons.push_back(standard != QMessageBox::NoButton
                                  ? static_cast<QAbstractButton*>(box.addButton(standard))
                                  : box.addButton(c.text, QMessageBox::ActionRole));
        }
        const auto at = [&](int index) -> QAbstractButton* {
            return index >= 0 && index < static_cast<int>(buttons.size())
                       ? buttons[static_cast<std::size_t>(index)]
                       : nullptr;
        };
        if (auto* d = qobject_cast<QPushButton*>(at(q.byDefault))) {
            box.setDefaultButton(d);
        }
        QAbstractButton* escape = at(q.escape >= 0 ? q.escape : q.byDefault);
        if (escape != nullptr) {
            box.setEscapeButton(escape);
        }
        box.exec();
        for (std::size_t i = 0; i < buttons.size(); ++i) {
            if (box.clickedButton() == buttons[i]) {
                return static_cast<int>(i);
            }
        }
        return q.escape >= 0 ? q.escape : q.byDefault;
    });
}

}  // namespace qx
