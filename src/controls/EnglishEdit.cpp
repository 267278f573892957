#include "EnglishEdit.h"

#include <QInputMethodEvent>
#include <QKeyEvent>

#include "ControlId.h"
#include "SkinFonts.h"

namespace qx {

CEnglishEdit::CEnglishEdit(QWidget* parent, int controlId) : QLineEdit(parent) {
    SetControlId(this, controlId);
    setFont(CSkinFonts::Arial(13));
    SetColors(m_textColor, m_backgroundColor);
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (parentWidget() != nullptr) {
            parentWidget()->update(geometry().adjusted(2, 2, -2, -2));
        }
    });
}

void CEnglishEdit::SetColors(const QColor& text, const QColor& background) {
    m_textColor = text;
    m_backgroundColor = background;
    setStyleSheet(QStringLiteral("QLineEdit { background-color: %1; color: %2; "
                                 "border: 1px solid rgb(92, 104, 108); padding: 0px 1px; "
                                 "selection-background-color: rgb(84, 118, 142); "
                                 "selection-color: white; }")
                      .arg(background.name(), text.name()));
}

void CEnglishEdit::keyPressEvent(QKeyEvent* event) {
    const QString typed = event->text();
    if (typed.isEmpty() || event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab ||
        (event->modifiers() & Qt::ControlModifier)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    for (const QChar c : typed) {
        if (c.unicode() > 0x7F) {
            // Only single-byte text can be typed; the device stores plain bytes.
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
    emit Changed(ControlId(this));
}

void CEnglishEdit::inputMethodEvent(QInputMethodEvent* event) {
    const QString commit = event->commitString();
    for (const QChar c : commit) {
        if (c.unicode() > 0x7F) {
            event->accept();
            return;
        }
    }
    QLineEdit::inputMethodEvent(event);
    if (!commit.isEmpty()) {
        emit Changed(ControlId(this));
    }
}

}  // namespace qx
