#pragma once

#include <QWidget>

class CTavroApp;
class CTavroDoc;
class QFrame;
class QLabel;
class QPushButton;

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
    // The bar above the panes that tells of a file changed by another program.
    QFrame* GetFileNoticeBar() const { return m_noticeBar; }

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
    void UpdateFileNotice();
    void OnReloadClicked();
    void OnKeepMineClicked();

    CTavroApp& m_app;
    CTavroDoc* m_doc;
    QWidget* m_paneHost = nullptr;
    QFrame* m_noticeBar = nullptr;
    QLabel* m_noticeText = nullptr;
    QPushButton* m_reloadButton = nullptr;
    QPushButton* m_keepButton = nullptr;
    bool m_closeWithoutAsking = false;
};
