#pragma once

#include <QWidget>

class CTavroApp;
class CTavroDoc;

// A document window: one document, shown in the split-pane widget that fills
// the window. Several windows may show the same document (New Window).
class CChildFrame : public QWidget
{
    Q_OBJECT

public:
    CChildFrame(CTavroApp& app, CTavroDoc& doc, QWidget* parent = nullptr);
    ~CChildFrame() override;

    CTavroDoc* GetDocument() const { return m_doc; }
    QWidget* GetPaneHost() const { return m_paneHost; }

    // The document's title, with ":n" when several windows show it.
    QString FrameTitle() const;

    // F6 and Shift+F6: focus the next or previous pane of the split window.
    void ActivateNextPane(bool forward);

    // Closes without asking to save; used once the question has been settled.
    void CloseWithoutAsking();

    // The widget that shows the document inside the frame.
    static QWidget* CreatePaneHost(CTavroDoc& doc, QWidget* parent);

Q_SIGNALS:
    void titleChanged();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void UpdateTitle();

    CTavroApp& m_app;
    CTavroDoc* m_doc;
    QWidget* m_paneHost = nullptr;
    bool m_closeWithoutAsking = false;
};
