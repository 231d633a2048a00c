#pragma once

#include "app/SpellChecker.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class CMainFrame;
class CTavroApp;
class CTavroController;
class QAction;
class QDialog;

// The Tools menu's Options and Check Spelling.
class CToolCommands : public QObject
{
    Q_OBJECT

public:
    using DialogRunner = std::function<int(QDialog&)>;

    CToolCommands(CMainFrame& frame, CTavroApp& app);
    ~CToolCommands() override;

    // Tests answer the dialogs and bring their own dictionaries.
    void SetDialogRunner(DialogRunner runner) { m_run = std::move(runner); }
    void SetSpellChecker(std::unique_ptr<SpellChecker> checker);

    void OnOptions();
    void OnCheckSpelling();

    // The controller of the active document window's active pane.
    CTavroController* ActiveController() const;

private:
    void UpdateStates();
    int Run(QDialog& dialog);

    CMainFrame& m_frame;
    CTavroApp& m_app;
    DialogRunner m_run;
    std::unique_ptr<SpellChecker> m_speller;
    QPointer<QAction> m_spelling;
    // Found once, at start-up: whether any dictionary is installed.
    bool m_spellingAvailable = false;
};
