#pragma once

#include "syntax/SECEditColorGroup.h"

#include <QColor>
#include <QDialog>
#include <QFont>

#include <functional>
#include <optional>
#include <vector>

class CColorButton;
class CEditorSettingsPage;
class CFontColorSample;
class QCheckBox;
class QLabel;
class QListWidget;
class QTabWidget;
class SECEditLangConfig;

// "Font and Color Settings": the editor font, the colours of the
// configurable colour groups and the editor settings of one language.
// Everything is edited on copies; Apply writes them into the shared
// configuration, and NotifyFontUpdate makes every document of that language
// re-measure and repaint.
class CFontColorDlg : public QDialog
{
    Q_OBJECT

public:
    // Asked when the user wants another colour or font; nothing means cancelled.
    using ColorChooser = std::function<std::optional<QColor>(QWidget* parent, const QColor& initial)>;
    using FontChooser = std::function<std::optional<QFont>(QWidget* parent, const QFont& initial)>;

    explicit CFontColorDlg(SECEditLangConfig& config, QWidget* parent = nullptr);

    // The working copies.
    const std::vector<SECEditColorGroup>& GetGroups() const { return m_groups; }
    QString GetFaceName() const { return m_face; }
    int GetPointSize() const { return m_points; }
    // The face shown: the configured one, or the desktop's fixed-width family that
    // stands in for a built-in or missing face.
    QString GetShownFaceName() const;
    QString GetSizeText() const;
    QFont GetWorkingFont() const;

    // The list holds the configurable groups only; the selected group's index, or -1.
    QListWidget* GetGroupList() const { return m_list; }
    int GetSelectedGroup() const;
    bool SelectGroup(int groupIndex);

    // What the controls do to the selected group.
    void SetForeground(const QColor& color);
    void SetBackground(const QColor& color);
    void SetForegroundAutomatic(bool automatic);
    void SetBackgroundAutomatic(bool automatic);
    // What Choose Font does on OK.
    void SetWorkingFont(const QFont& font);
    // Back to the values the dialog opened with.
    void ResetAll();

    void SetColorChooser(ColorChooser chooser) { m_chooseColor = std::move(chooser); }
    void SetFontChooser(FontChooser chooser) { m_chooseFont = std::move(chooser); }

    CColorButton* GetForegroundButton() const { return m_foreButton; }
    CColorButton* GetBackgroundButton() const { return m_backButton; }
    QCheckBox* GetForegroundAutomaticBox() const { return m_foreAuto; }
    QCheckBox* GetBackgroundAutomaticBox() const { return m_backAuto; }
    CFontColorSample* GetSample() const { return m_sample; }
    QTabWidget* GetTabs() const { return m_tabs; }
    CEditorSettingsPage* GetEditorPage() const { return m_editorPage; }

    // Writes the working font, groups and editor settings into the configuration.
    void Apply();
    // Tells every engine using the configuration that font and colours changed.
    static void NotifyFontUpdate(SECEditLangConfig& config);

protected:
    void changeEvent(QEvent* event) override;

private:
    void LoadFromConfig();
    void FillList();
    void ShowSelectedGroup();
    void ShowFont();
    void ApplyAutomaticRule();
    std::uint32_t PaintedForeground(const SECEditColorGroup& group) const;
    void OnChooseColor(bool foreground);
    void OnChooseFont();

    SECEditLangConfig& m_config;
    std::vector<SECEditColorGroup> m_groups;
    QString m_face;
    int m_points = 10;

    QListWidget* m_list = nullptr;
    CColorButton* m_foreButton = nullptr;
    CColorButton* m_backButton = nullptr;
    QCheckBox* m_foreAuto = nullptr;
    QCheckBox* m_backAuto = nullptr;
    QLabel* m_faceLabel = nullptr;
    QLabel* m_sizeLabel = nullptr;
    CFontColorSample* m_sample = nullptr;
    QTabWidget* m_tabs = nullptr;
    CEditorSettingsPage* m_editorPage = nullptr;
    ColorChooser m_chooseColor;
    FontChooser m_chooseFont;
};
