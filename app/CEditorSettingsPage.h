#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QSpinBox;
class SECEditLangConfig;

// The "Editor" page of the font and colour dialog: how documents of one
// language lay out and edit text. The controls hold working values; Apply
// writes them into the configuration, which the dialog's caller then
// announces to every document using it.
class CEditorSettingsPage : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kMinTabSize = 1;
    static constexpr int kMaxTabSize = 64;

    explicit CEditorSettingsPage(QWidget* parent = nullptr);

    // Shows the configuration's values (also what Reset All does).
    void Load(const SECEditLangConfig& config);
    void Apply(SECEditLangConfig& config) const;

    QSpinBox* GetTabSize() const { return m_tabSize; }
    QCheckBox* GetInsertSpaces() const { return m_insertSpaces; }
    QCheckBox* GetAutoIndent() const { return m_autoIndent; }
    QCheckBox* GetShowWhitespace() const { return m_showWhitespace; }
    QCheckBox* GetVirtualWhitespace() const { return m_virtualWhitespace; }

private:
    QLabel* m_language = nullptr;
    QSpinBox* m_tabSize = nullptr;
    QCheckBox* m_insertSpaces = nullptr;
    QCheckBox* m_autoIndent = nullptr;
    QCheckBox* m_showWhitespace = nullptr;
    QCheckBox* m_virtualWhitespace = nullptr;
};
