#pragma once

#include <QDialog>

#include <functional>

class IMessageBox;
class QComboBox;
class ISettingsStore;
class QLineEdit;
class QSpinBox;
class QTabWidget;

// "Options": the user's details, kept in "UserInfo" for the insertion
// commands, and the document folder with the desktop shortcut. A page the
// user never opened writes nothing on OK.
class COptionPropSheet : public QDialog
{
    Q_OBJECT

public:
    using FolderChooser = std::function<QString(QWidget* parent, const QString& start)>;

    static constexpr int kUserFieldCount = 10;
    static const char16_t* const kUserKeys[kUserFieldCount];

    COptionPropSheet(ISettingsStore& settings, IMessageBox& messages, QWidget* parent = nullptr);

    // "Line ends of new documents": bare line feeds unless the user chose CR LF.
    static constexpr char16_t kNewLineEndsKey[] = u"NewLineEnds";
    static bool NewDocumentsUseLineFeeds(const ISettingsStore& settings);

    // Tests answer the folder browser and aim the shortcut at a folder of their own.
    void SetFolderChooser(FolderChooser chooser) { m_chooseFolder = std::move(chooser); }
    void SetShortcutFolder(const QString& folder) { m_shortcutFolder = folder; }

    QTabWidget* GetTabs() const { return m_tabs; }
    QLineEdit* GetUserField(int index) const { return m_user[index]; }
    QLineEdit* GetDirectoryEdit() const { return m_directory; }
    QSpinBox* GetTabStop() const { return m_tabStop; }
    QComboBox* GetNewLineEnds() const { return m_newLineEnds; }

    void OnBrowse();
    void OnSendToShortcut();
    void accept() override;

private:
    QWidget* CreateUserPage();
    QWidget* CreateOtherPage();
    void LoadOtherPage();

    ISettingsStore& m_settings;
    IMessageBox& m_messages;
    FolderChooser m_chooseFolder;
    QString m_shortcutFolder;
    QTabWidget* m_tabs = nullptr;
    QLineEdit* m_user[kUserFieldCount] = {};
    QLineEdit* m_directory = nullptr;
    QSpinBox* m_tabStop = nullptr;
    QComboBox* m_newLineEnds = nullptr;
    int m_wordWrap = 0;
    bool m_otherLoaded = false;
};
