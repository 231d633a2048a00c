#pragma once

#include "app/CountStatistics.h"

#include <QDialog>

#include <optional>

class ISECEditPresentationState;
class QLineEdit;
class QRadioButton;
class SECEdit;

// "Count Statistics": the counts of the whole document or of the selection,
// switched with two radio buttons. It only shows numbers and changes nothing.
class CCountDlg : public QDialog
{
    Q_OBJECT

public:
    enum Scope { All = 0, Selection = 1 };

    // Without a selection (or an empty one) the Selection button is disabled
    // and the whole document is counted.
    CCountDlg(const CountStatistics& whole, const std::optional<CountStatistics>& selection,
              QWidget* parent = nullptr);

    int GetScope() const { return m_scope; }
    void SetScope(int scope);
    const CountStatistics& GetShownCounts() const;

    // The counts of the engine's whole text, line ends as the engine holds them.
    static CountStatistics CountDocument(const SECEdit& edit);
    // The counts of the pane's selection; nothing when no character is selected.
    // A column block counts its pieces with a line end between lines.
    static std::optional<CountStatistics> CountSelection(const SECEdit& edit,
                                                         const ISECEditPresentationState& state);

private:
    void ShowCounts();

    CountStatistics m_whole;
    std::optional<CountStatistics> m_selection;
    int m_scope = -1;
    QLineEdit* m_printable = nullptr;
    QLineEdit* m_all = nullptr;
    QLineEdit* m_words = nullptr;
    QLineEdit* m_lines = nullptr;
    QRadioButton* m_allButton = nullptr;
    QRadioButton* m_selectionButton = nullptr;
};
