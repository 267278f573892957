#pragma once
// "Differences": the fields in which two programs differ, named as the pages name them, with
// both values. It compares slot A with slot B, the editor with a program file, or the editor
// with a stored program (as last read from the processor or loaded from a bank file).

#include <QDialog>
#include <string>
#include <vector>

#include "ImageDiff.h"

class QComboBox;
class QLabel;
class QTableWidget;

namespace qx {

class CAbCompare;

class CDifferencesDlg : public QDialog {
    Q_OBJECT
  public:
    // ab may be null (no A/B on this window).
    explicit CDifferencesDlg(CAbCompare* ab, QWidget* parent = nullptr);

    // What the view compares, the combo's entries in order.
    enum Source { kAB = 0, kFile = 1, kStoredFirst = 2 };
    // Shows the differences with the given sources; kFile reads `path`. False (with the
    // reason shown) when the file cannot be read or the stored program is not there.
    bool CompareWith(int source, const std::string& path = {});

    void SetDifferences(const std::vector<FieldDifference>& list, const std::string& left,
                        const std::string& right);
    int Rows() const;
    QTableWidget* Table() const { return m_table; }

  private:
    void OnSource(int index);

    CAbCompare* m_ab;
    QComboBox* m_source;
    QLabel* m_summary;
    QTableWidget* m_table;
};

}  // namespace qx
