#pragma once
// The one binding between a control table and the parameter image. It creates each row's
// widget in the owner widget, loads every bound control from its catalogue field
// (RefreshFromParameters), stores the field when a person moves the control, shows the new
// code in every control bound to the same field, and sets the caption pairs (ApplyLanguage).
//
// Fields are addressed by catalogue name only; the catalogue knows where each lives. A name
// may hold placeholders that the page fills (the channel shown, the output channel of a
// group) and `{scene}`, the output scene in force; they are resolved at every load and store.
//
// Behaviour beyond the table is attached per control id as hooks:
//   adjust  - runs before a value is stored and may change it (limits that depend on other
//             fields, such as a volume below its maximum);
//   store   - replaces the catalogue store (a whole byte with WriteByte, a link toggled
//             together with its block copy); curves need none, the image model keeps them;
//   changed - runs after the store and the redisplay (unmute, redraw, enable other controls);
//             Button rows have no field: their click runs this hook with value 1.
// A stepped row (ControlRule::step) works in positions: adjust sees the position, store and
// changed the code (position * step).
// Every store goes through the image model (CImageModel) as a change made by the control, and
// the binding shows again every control whose field a change notice of the model names, so a
// curve drag, a link copy, a clamp or a received image reaches the controls without a call from
// whoever made it. Stores are relaxed atomic byte writes and take no lock; the synchroniser sends
// the difference. The binding never sends anything.

#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ImageModel.h"
#include "PageTable.h"
#include "ParamCatalogue.h"
#include "ProgramImage.h"

class QWidget;

namespace qx {

class CBitmapSlider;
class CEdit_Static;
class CNumEdit;
class CBitComboBox;
class CBitButton;
class CFontStatic;

class CFieldBinding : public QObject {
    Q_OBJECT
  public:
    struct Hooks {
        std::function<int(int value)> adjust;
        std::function<void(int value)> store;
        std::function<void(int value)> changed;
    };

    // Controls are created as children of owner. The model defaults to the editor's model of
    // the ParameterSet.
    explicit CFieldBinding(QWidget* owner, CImageModel* model = nullptr);
    ~CFieldBinding() override;

    // Adds the rows of a table (ids as given, rectangles in the owner's dialog units).
    void Add(ControlTable rows);
    // Adds a reusable block: its rectangles are moved by (x, y) dialog units, row k's id is
    // ids[row.id], and a field starting with '@' gets the prefix in place of the '@'.
    void AddBlock(ControlTable block, int x, int y, std::span<const int> ids,
                  const std::string& fieldPrefix);
    // Registers a widget the page made itself for a Custom row (or any id) so Widget() finds
    // it; the binding places it at the row's rectangle when the row exists.
    void Adopt(int id, QWidget* widget);

    CImageModel& Model() const { return *m_model; }
    ParamImage* Image() const { return &m_model->Image(); }
    // Who the binding's writes are from now: the control whose change is being stored, or
    // control 0 outside of one.
    ChangeOrigin Origin() const { return ChangeOrigin::FromControl(m_activeId); }
    void SetPlaceholder(const std::string& key, const std::string& value);
    std::string Placeholder(const std::string& key) const;

    Hooks& On(int id) { return m_hooks[id]; }

    // Loads every bound control from the image; no hook runs and nothing is stored.
    void RefreshFromParameters();
    // Loads the controls bound to one control's field (or to a field name).
    void Refresh(int id);
    void RefreshField(const std::string& fieldName);
    // Sets the caption pair of every row that has one, in the language in force.
    void ApplyLanguage();

    // What a person's change of control `id` does: limit to the control's range, adjust,
    // store, show the stored code in every control of the field, changed. The widgets'
    // signals end here; tests call it directly.
    void ControlChanged(int id, int value);
    // Stores a field as a control of it would (clamped to the field's range, no hooks) and
    // shows the code in every control bound to it.
    void Write(const std::string& fieldName, int value);
    // Stores the whole byte that holds a bit field, the byte's other bit fields included (a
    // master volume stored with its mute bit cleared in one store), and shows every control
    // of that byte.
    void WriteByte(const std::string& fieldName, uint8_t byte);
    // The code of a field now; -1 when the name does not resolve.
    int Read(const std::string& fieldName) const;

    // The field a control edits now, placeholders resolved; nullptr when it has none or the
    // name does not resolve.
    const ParamField* FieldOf(int id) const;
    std::string FieldNameOf(int id) const;
    // Resolves placeholders of a field name.
    std::string Resolve(const std::string& pattern) const;
    // Ids of the rows that name a field, in table order.
    std::vector<int> BoundIds() const;
    // Ids of every row, in table order.
    std::vector<int> Ids() const;
    // Field names (resolved) that name no catalogue field: a table fault.
    std::vector<std::string> Unresolved() const;

    QWidget* Widget(int id) const;
    template <class T>
    T* Get(int id) const {
        return qobject_cast<T*>(Widget(id));
    }
    const ControlRow* Row(int id) const;

    // The tooltip of a control of a field: its name, its range and the value of `code`.
    static QString Describe(const ParamField& field, int lowest, int highest, int code);
    // What the band type names ("BY", "P", "LS", "HS") stand for, in the language in force.
    static QString BandTypeHelp();

  private:
    struct Bound {
        ControlRow row;
        std::string field;  // pattern with the block prefix applied
        QWidget* widget = nullptr;
        bool usesScene = false;  // the pattern names {scene}
        // The field last resolved, valid while the placeholders and the scene are the same.
        mutable const ParamField* resolved = nullptr;
        mutable int resolvedGeneration = -1;
        mutable int resolvedScene = 0;
    };

    void Create(const ControlRow& row, std::string field);
    QWidget* MakeWidget(const ControlRow& row);
    void Connect(const Bound& bound);
    void Load(const Bound& bound, const ParamField* field);
    // Sets the tooltip, accessible name and accessible value of a loaded control.
    void Describe(const Bound& bound, const ParamField& field, int code) const;
    void Store(const ParamField& field, int value);
    void ShowField(const ParamField& field);
    void OnImageChanged(const ImageNotice& notice);
    int RangeMinimum(const Bound& bound, const ParamField* field) const;
    int RangeMaximum(const Bound& bound, const ParamField* field) const;
    static int Step(const Bound& bound);
    const Bound* Find(int id) const;
    const ParamField* FieldOf(const Bound& bound) const;

    QWidget* m_owner;
    CImageModel* m_model;
    int m_activeId = 0;  // the control being stored
    std::vector<Bound> m_bound;
    std::map<int, std::size_t> m_index;  // id -> position in m_bound
    std::map<int, QWidget*> m_adopted;
    std::map<int, Hooks> m_hooks;
    std::map<std::string, std::string> m_placeholders;
    int m_generation = 0;  // counts placeholder changes
    bool m_loading = false;
};

}  // namespace qx
