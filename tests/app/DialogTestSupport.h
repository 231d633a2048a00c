#pragma once

#include "AppTestSupport.h"

#include "app/CDialogCommands.h"
#include "app/CMainFrame.h"
#include "app/CTavroDoc.h"
#include "view/SECEditView.h"

#include <QDialog>

#include <functional>

// The dialog commands of a started application, with their dialogs answered
// by the test: `answer` sees the dialog instead of the user and returns the
// dialog's result.
inline CDialogCommands& DialogCommands(AppHarness& h, std::function<int(QDialog&)> answer = {})
{
    auto* commands = h.app->MainFrame()->findChild<CDialogCommands*>();
    if (answer)
        commands->SetDialogRunner(std::move(answer));
    return *commands;
}

// Opens a file with these bytes as the active document.
inline CTavroDoc* OpenWith(AppHarness& h, const QString& name, const QByteArray& bytes)
{
    return h.app->OpenDocumentFile(h.Write(name, bytes));
}
