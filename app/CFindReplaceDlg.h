#pragma once

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QPushButton;
class QRadioButton;
class SECEditSearchSettings;

// The Find dialog and the Replace dialog (one class; a flag tells them
// apart). Modeless: it stays open while the user works in the pane, and each
// button hands its action to the partner, which searches the pane that
// opened the dialog.
class CFindReplaceDlg : public QDialog
{
    Q_OBJECT

public:
    enum Action { Close = 0, FindNext = 1, MarkAll = 2, Replace = 3, ReplaceAll = 4 };
    static constexpr int MaxTextLength = 128;

    // Carries out the dialog's current action; true on success.
    using Partner = std::function<bool(CFindReplaceDlg&)>;

    CFindReplaceDlg(bool find, const SECEditSearchSettings& settings, const QString& proposed, QWidget* parent);

    void SetPartner(Partner partner) { m_partner = std::move(partner); }
    // Asked each time the Replace dialog is activated: may the scope be the selection?
    void SetSelectionQuery(std::function<bool()> query) { m_hasSelection = std::move(query); }

    bool IsFind() const noexcept { return m_find; }
    int GetAction() const noexcept { return m_action; }
    QString GetFindText() const;
    QString GetReplaceText() const;
    bool GetMatchCase() const;
    bool GetWholeWord() const;
    bool GetRegularExpression() const;
    bool GetSearchDown() const;
    bool GetSelectionOnly() const;

    // Copies the controls into the settings and puts the texts at the head
    // of the histories.
    void Store(SECEditSearchSettings& settings) const;
    // Refills the drop-down lists from the histories.
    void FillHistories(const SECEditSearchSettings& settings);
    // What a button does: reads the controls, runs the action through the
    // partner, then the follow-up (a found match closes the Find dialog; Mark
    // All goes on to select the first match).
    void RunAction(int action);
    // Applies the scope rule as on activation.
    void UpdateScope();
    // Cancel: tells the partner, then closes.
    void reject() override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void UpdateButtons();
    void ApplyRegularExpressionRule();

    bool m_find;
    int m_action = Close;
    Partner m_partner;
    std::function<bool()> m_hasSelection;
    // The Selection scope was used last: it is chosen again as soon as the
    // pane is known to have a selection.
    bool m_wantsSelectionScope = false;

    QComboBox* m_findWhat = nullptr;
    QComboBox* m_replaceWith = nullptr;
    QCheckBox* m_wholeWord = nullptr;
    QCheckBox* m_matchCase = nullptr;
    QCheckBox* m_regularExpression = nullptr;
    QRadioButton* m_first = nullptr;  // Up, or Selection
    QRadioButton* m_second = nullptr; // Down, or Whole file
    QPushButton* m_findNext = nullptr;
    QPushButton* m_markAll = nullptr;
    QPushButton* m_replace = nullptr;
    QPushButton* m_replaceAll = nullptr;
};
