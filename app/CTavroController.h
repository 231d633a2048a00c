#pragma once

#include "controller/SECEditController.h"

#include <QList>
#include <QMetaObject>

class CMainFrame;
class CTavroView;

// The controller of one application pane: the editor's controller, reporting
// the caret's place and the overtype switch in the main window's status bar.
// The pane the user last typed in also answers the main window's Edit menu
// items for undo, redo, case change, indentation and select all.
class CTavroController : public SECEditController
{
public:
    explicit CTavroController(CTavroView& view);
    ~CTavroController() override;

    void OnFocus(bool gained) override;
    bool OnCommand(int id) override;

    // The one way application commands put text into the document: replaces
    // the selection, if any, or inserts at the caret, as one undo step; the
    // caret ends after the text. Nothing happens in a read-only document.
    void InsertAtCaret(std::u16string_view text);

    // View > Show White Space: the language's setting, shared by every
    // document of the language. The check mark shows what the last toggle
    // made through this pane gave, as a new pane starts unchecked.
    bool ToggleWhitespace();
    bool GetShowWhitespaceCheck() const noexcept { return m_bShowWhitespace != 0; }
    // View > Show Line Numbers: this pane's gutter between the mark margin
    // alone and the mark margin with line numbers.
    void ToggleLineNumbers();

protected:
    void OnCaretChanged() override;
    void OnOvertypeChanged() override;
    void CopyToClipboard(const SECEditTransfer& data) override;
    bool ReadClipboard(SECEditTransfer& data) const override;
    bool ClipboardHasText() const override;
    void SetPrimarySelection(const std::u16string& text) override;
    bool ReadPrimarySelection(std::u16string& text) const override;
    void PostCaretLineLeft() override;
    void RunLanguageConfigDialog() override;

private:
    CMainFrame* MainFrame() const;
    void BindMenuCommands();
    void UnbindMenuCommands();
    void UpdateMenuCommands();
    void UpdateViewCommands(CMainFrame& frame);
    static void WatchClipboard();

    CTavroView& m_view;
    QList<QMetaObject::Connection> m_menuConnections;
    int m_bShowWhitespace = 0;
};
