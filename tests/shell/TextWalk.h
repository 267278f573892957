#pragma once
// Reads every text of a window as a person or a screen reader meets it (captions, list
// entries, value labels, tab names, tooltips, accessible names, menu items) and keeps those
// that hold an English word the Chinese interface should not show. The words, captions and
// list entries kept in both languages are listed here.

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QRegularExpression>
#include <QTableWidget>
#include <QWidget>
#include <set>
#include <string>
#include <vector>

#include "BaseTabCtrl.h"
#include "Edit_Static.h"
#include "FontStatic.h"
#include "SxGroupBox.h"
#include "TransparentStatic.h"

namespace qx::test {

// Words the interface keeps in both languages: units, acronyms and the processor's names of
// its inputs and filter types.
inline const std::set<QString>& SameWords() {
    static const std::set<QString> words = {
        "dB",  "Hz",   "kHz", "ms",  "dBV", "EQ",   "HPF",  "LPF",  "BY",  "LS",
        "HS",  "SYNC", "DEQ", "VOD", "BGM", "COAX", "OPTI", "HDMI", "ARC", "Atk",
        "KR",          // the window title's model name
        "AEQ", "BEQ",  // echo A or B followed by EQ in a field's name
        "RMS",
    };
    return words;
}

// Whole captions that keep their template text in both languages.
inline const std::set<QString>& SameCaptions() {
    static const std::set<QString> captions = {
        "EQ Bypass", "EQ Pass", "EQ pass",
        "English",  // the language button names the other language
    };
    return captions;
}

// Entries of the language-neutral lists (slopes, inputs, switches), shown as values.
inline const std::set<QString>& SameValues() {
    static const std::set<QString> values = {
        "OFF",
        "ON",
        "Disable",
        "Enable",
        "Auto",
        "FB.EX1",
        "FB.EX2",
        "FB.EX3",
        "FB.EX4",
        "ByPass",
        "6dB/ct",
        "12dB Bessel",
        "12dB Butuerworth",
        "12dBLink-Riley",
        "18dB Bessel",
        "18dB Butuerworth",
        "24dB Bessel",
        "24dB Butuerworth",
        "24dBLink-Riley",
        "36dB Bessel",
        "36dB Butuerworth",
        "36dBLink-Riley",
    };
    return values;
}

inline bool OnlySameWords(QString text) {
    // A path names a file, in no language; the program's name and version stay as they are.
    static const QRegularExpression path(QStringLiteral("\\S*/\\S*[A-Za-z]\\S*"));
    static const QRegularExpression program(QStringLiteral("^QX Editor \\d+\\.\\d+\\.\\d+$"));
    text.remove(path);
    text.remove(program);
    static const QRegularExpression word(QStringLiteral("[A-Za-z]{2,}"));
    for (auto it = word.globalMatch(text); it.hasNext();) {
        if (SameWords().count(it.next().captured()) == 0) {
            return false;
        }
    }
    return true;
}

// A value as a control shows it: a list entry kept in both languages or a number with units.
inline bool SameValue(const QString& value) {
    return SameValues().count(value.trimmed()) != 0 || OnlySameWords(value);
}

// A text fit for the Chinese interface. Tooltips are split into their lines; a line naming
// the range or the value holds values.
inline bool Chinese(const QString& text, bool value) {
    if (SameCaptions().count(text) != 0) {
        return true;
    }
    if (value) {
        return SameValue(text);
    }
    const QString range = QStringLiteral("范围: ");
    const QString now = QStringLiteral("当前值: ");
    for (const QString& line : text.split(u'\n')) {
        if (line.startsWith(range)) {
            for (const QString& end : line.mid(range.size()).split(QStringLiteral(" … "))) {
                if (!SameValue(end)) {
                    return false;
                }
            }
        } else if (line.startsWith(now)) {
            if (!SameValue(line.mid(now.size()))) {
                return false;
            }
        } else if (SameCaptions().count(line) == 0 && !OnlySameWords(line)) {
            return false;
        }
    }
    return true;
}

struct Found {
    QString where;
    QString text;
};

class CTextWalk {
  public:
    // Every text of a widget and the widgets inside it that a person can see or a screen
    // reader can find.
    void Walk(QWidget* top, const QString& where) {
        QList<QWidget*> widgets = top->findChildren<QWidget*>();
        widgets.prepend(top);
        for (QWidget* w : widgets) {
            if (w != top && !w->isVisibleTo(top)) {
                continue;
            }
            const QString name = where + " " + w->metaObject()->className() + " " + w->objectName();
            Take(name + " tooltip", w->toolTip());
            Take(name + " accessible", w->accessibleName());
            Take(name + " description", w->accessibleDescription(), true);
            if (w->isWindow()) {
                Take(name + " title", w->windowTitle());
            }
            Texts(w, name);
            for (QAction* action : w->actions()) {
                Take(name + " action", action->text());
                Take(name + " action tip", action->toolTip());
            }
        }
        ++m_walks;
    }

    // A text as a person reads it; a value is what a control holds (a list entry, a label).
    void Take(const QString& where, QString text, bool value = false) {
        text.remove(u'&');
        if (text.isEmpty()) {
            return;
        }
        ++m_texts;
        if (!Chinese(text, value)) {
            m_found.push_back({where, text});
        }
    }

    // A menu's items and those of its submenus.
    void WalkMenu(QMenu* menu, const QString& where) {
        for (QAction* action : menu->actions()) {
            Take(where + " menu", action->text());
            if (action->menu() != nullptr) {
                WalkMenu(action->menu(), where);
            }
        }
        ++m_walks;
    }

    const std::vector<Found>& FoundTexts() const { return m_found; }
    int TextCount() const { return m_texts; }
    int Walks() const { return m_walks; }

    std::string Report() const {
        std::string out;
        for (const Found& f : m_found) {
            out += f.where.toStdString() + ": " + f.text.toStdString() + "\n";
        }
        return out;
    }

  private:
    void Texts(QWidget* w, const QString& name) {
        if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            Take(name, b->text());
        }
        if (auto* l = qobject_cast<QLabel*>(w)) {
            Take(name, l->text());
        }
        if (auto* g = qobject_cast<QGroupBox*>(w)) {
            Take(name, g->title());
        }
        if (auto* c = qobject_cast<QComboBox*>(w)) {
            for (int i = 0; i < c->count(); ++i) {
                Take(name + " item", c->itemText(i), true);
            }
        }
        if (auto* l = qobject_cast<QListWidget*>(w)) {
            for (int i = 0; i < l->count(); ++i) {
                Take(name + " row", l->item(i)->text());
            }
        }
        if (auto* t = qobject_cast<QTableWidget*>(w)) {
            for (int c = 0; c < t->columnCount(); ++c) {
                if (t->horizontalHeaderItem(c) != nullptr) {
                    Take(name + " header", t->horizontalHeaderItem(c)->text());
                }
            }
        }
        if (auto* s = dynamic_cast<CFontStatic*>(w)) {
            Take(name, s->Text());
        }
        if (auto* s = dynamic_cast<CEdit_Static*>(w)) {
            Take(name, s->Text(), true);  // a value label
        }
        if (auto* s = dynamic_cast<CTransparentStatic*>(w)) {
            Take(name, s->Text());
        }
        if (auto* g = dynamic_cast<CSxGroupBox*>(w)) {
            Take(name, g->Caption());
        }
        if (auto* t = dynamic_cast<CBaseTabCtrl*>(w)) {
            for (int i = 0; i < t->GetItemCount(); ++i) {
                Take(name + " tab", t->ItemText(i));
            }
        }
    }

    std::vector<Found> m_found;
    int m_texts = 0;
    int m_walks = 0;
};

}  // namespace qx::test
