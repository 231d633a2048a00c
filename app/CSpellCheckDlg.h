#pragma once

#include "app/SpellChecker.h"

#include <QDialog>

class QLineEdit;
class QListWidget;
class QPlainTextEdit;

// "Spelling": one misspelt word in its sentence, with the dictionary's
// suggestions; the buttons say what to do with it.
class CSpellCheckDlg : public QDialog
{
    Q_OBJECT

public:
    CSpellCheckDlg(const QString& word, const QStringList& suggestions, const QString& text, int start,
                   QWidget* parent = nullptr);

    QLineEdit* GetChangeTo() const { return m_changeTo; }
    QListWidget* GetSuggestions() const { return m_suggestions; }
    // Closes the dialog with this decision (the replacement from the field).
    void Decide(SpellChecker::Decision::Kind kind);
    SpellChecker::Decision GetDecision() const { return m_decision; }

    void reject() override;

private:
    QLineEdit* m_changeTo = nullptr;
    QListWidget* m_suggestions = nullptr;
    SpellChecker::Decision m_decision{SpellChecker::Decision::Cancel, {}};
};
