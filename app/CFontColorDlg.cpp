#include "app/CFontColorDlg.h"

#include "app/CColorButton.h"
#include "app/CEditorSettingsPage.h"
#include "app/CFontColorSample.h"
#include "engine/ColorGroupKind.h"
#include "engine/SECEditMsg.h"
#include "platform/qt/QtFonts.h"
#include "syntax/SECEditLangConfig.h"
#include "view/SECEditContrast.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

// The face the editor falls back on when a language names none.
constexpr char16_t kFallbackFace[] = u"Courier";
constexpr int kMinPoints = 1;
constexpr int kMaxPoints = 400;

QString FaceOf(const SECEditLangConfig& config)
{
    return QString::fromStdU16String(config.GetFacename());
}

} // namespace

CFontColorDlg::CFontColorDlg(SECEditLangConfig& config, QWidget* parent) : QDialog(parent), m_config(config)
{
    setWindowTitle(tr("Font and Color Settings"));
    m_chooseColor = [](QWidget* owner, const QColor& initial) -> std::optional<QColor> {
        const QColor color = QColorDialog::getColor(initial, owner, tr("Color"));
        return color.isValid() ? std::optional<QColor>(color) : std::nullopt;
    };
    m_chooseFont = [](QWidget* owner, const QFont& initial) -> std::optional<QFont> {
        bool ok = false;
        // Columns line up only in a fixed-pitch font.
        const QFont font = QFontDialog::getFont(&ok, initial, owner, tr("Font"), QFontDialog::MonospacedFonts);
        return ok ? std::optional<QFont>(font) : std::nullopt;
    };

    // Colour: the groups, and pickers for the selected one.
    m_list = new QListWidget;
    m_list->setObjectName(QStringLiteral("colorGroups"));
    m_foreButton = new CColorButton(tr("Forecolor"));
    m_foreButton->setObjectName(QStringLiteral("foreground"));
    m_backButton = new CColorButton(tr("Backcolor"));
    m_backButton->setObjectName(QStringLiteral("background"));
    m_foreAuto = new QCheckBox(tr("Automatic"));
    m_foreAuto->setObjectName(QStringLiteral("foregroundAutomatic"));
    m_backAuto = new QCheckBox(tr("Automatic"));
    m_backAuto->setObjectName(QStringLiteral("backgroundAutomatic"));
    auto* foreLabel = new QLabel(tr("&Foreground"));
    foreLabel->setBuddy(m_foreButton);
    auto* backLabel = new QLabel(tr("&Background"));
    backLabel->setBuddy(m_backButton);

    auto* colorBox = new QGroupBox(tr("Color"));
    auto* colorGrid = new QGridLayout(colorBox);
    colorGrid->addWidget(m_list, 0, 0, 5, 1);
    colorGrid->addWidget(foreLabel, 0, 1, 1, 2);
    colorGrid->addWidget(m_foreButton, 1, 1);
    colorGrid->addWidget(m_foreAuto, 1, 2);
    colorGrid->addWidget(backLabel, 2, 1, 1, 2);
    colorGrid->addWidget(m_backButton, 3, 1);
    colorGrid->addWidget(m_backAuto, 3, 2);
    colorGrid->setRowStretch(4, 1);
    colorGrid->setColumnStretch(0, 1);

    // Font: face and size, and the chooser.
    m_faceLabel = new QLabel;
    m_faceLabel->setObjectName(QStringLiteral("faceName"));
    m_sizeLabel = new QLabel;
    m_sizeLabel->setObjectName(QStringLiteral("fontSize"));
    auto* chooseFont = new QPushButton(tr("C&hoose Font"));
    chooseFont->setObjectName(QStringLiteral("chooseFont"));
    auto* fontRow = new QHBoxLayout;
    fontRow->addWidget(new QLabel(tr("Font:")));
    fontRow->addWidget(m_faceLabel, 1);
    fontRow->addWidget(new QLabel(tr("Size:")));
    fontRow->addWidget(m_sizeLabel);
    fontRow->addSpacing(12);
    fontRow->addWidget(chooseFont);

    auto* sampleBox = new QGroupBox(tr("Sample"));
    m_sample = new CFontColorSample;
    auto* sampleLayout = new QVBoxLayout(sampleBox);
    sampleLayout->addWidget(m_sample);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QPushButton* resetAll = buttons->addButton(tr("Reset All"), QDialogButtonBox::ResetRole);
    resetAll->setObjectName(QStringLiteral("resetAll"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    // Two pages: fonts and colours, and how the language's documents edit.
    auto* colorPage = new QWidget;
    auto* colorLayout = new QVBoxLayout(colorPage);
    colorLayout->addWidget(colorBox, 1);
    colorLayout->addLayout(fontRow);
    colorLayout->addWidget(sampleBox);
    m_editorPage = new CEditorSettingsPage;
    m_editorPage->Load(m_config);
    m_tabs = new QTabWidget;
    m_tabs->addTab(colorPage, tr("Font and Color"));
    m_tabs->addTab(m_editorPage, tr("Editor"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs, 1);
    layout->addWidget(buttons);

    connect(m_list, &QListWidget::currentRowChanged, this, [this] { ShowSelectedGroup(); });
    connect(m_foreButton, &QPushButton::clicked, this, [this] { OnChooseColor(true); });
    connect(m_backButton, &QPushButton::clicked, this, [this] { OnChooseColor(false); });
    connect(m_foreAuto, &QCheckBox::toggled, this, &CFontColorDlg::SetForegroundAutomatic);
    connect(m_backAuto, &QCheckBox::toggled, this, &CFontColorDlg::SetBackgroundAutomatic);
    connect(chooseFont, &QPushButton::clicked, this, &CFontColorDlg::OnChooseFont);
    connect(resetAll, &QPushButton::clicked, this, &CFontColorDlg::ResetAll);

    LoadFromConfig();
    FillList();
    ApplyAutomaticRule();
    m_list->setCurrentRow(m_list->count() > 0 ? 0 : -1);
    ShowSelectedGroup();
    ShowFont();
    resize(sizeHint().expandedTo(QSize(480, 360)));
}

void CFontColorDlg::LoadFromConfig()
{
    m_face = FaceOf(m_config);
    m_points = m_config.GetSize() > 0 ? std::clamp(m_config.GetSize(), kMinPoints, kMaxPoints) : 10;
    m_groups = m_config.GetColorGroups();
}

void CFontColorDlg::FillList()
{
    const QSignalBlocker block(m_list);
    m_list->clear();
    for (std::size_t i = 0; i < m_groups.size(); ++i) {
        if (!m_groups[i].configurable)
            continue;
        auto* item = new QListWidgetItem(QString::fromStdU16String(m_groups[i].displayName), m_list);
        item->setData(Qt::UserRole, static_cast<int>(i));
    }
}

int CFontColorDlg::GetSelectedGroup() const
{
    const QListWidgetItem* item = m_list->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : -1;
}

bool CFontColorDlg::SelectGroup(int groupIndex)
{
    for (int row = 0; row < m_list->count(); ++row) {
        if (m_list->item(row)->data(Qt::UserRole).toInt() == groupIndex) {
            m_list->setCurrentRow(row);
            return true;
        }
    }
    return false;
}

void CFontColorDlg::ApplyAutomaticRule()
{
    // The colours the editor panes use for automatic groups.
    const QPalette& p = palette();
    ApplyAutomaticColors(m_groups, FromQColor(p.color(QPalette::Active, QPalette::Text)),
                         FromQColor(p.color(QPalette::Active, QPalette::Base)));
}

void CFontColorDlg::ShowSelectedGroup()
{
    const int index = GetSelectedGroup();
    const QSignalBlocker blockFore(m_foreAuto);
    const QSignalBlocker blockBack(m_backAuto);
    if (index < 0 || index >= static_cast<int>(m_groups.size())) {
        for (QWidget* control : {static_cast<QWidget*>(m_foreButton), static_cast<QWidget*>(m_backButton),
                                 static_cast<QWidget*>(m_foreAuto), static_cast<QWidget*>(m_backAuto)})
            control->setEnabled(false);
        m_sample->SetSample(GetWorkingFont(), Qt::black, Qt::white);
        return;
    }
    const SECEditColorGroup& group = m_groups[static_cast<std::size_t>(index)];
    m_foreAuto->setEnabled(true);
    m_backAuto->setEnabled(true);
    m_foreAuto->setChecked(group.foregroundAutomatic);
    m_backAuto->setChecked(group.backgroundAutomatic);
    m_foreButton->setEnabled(!group.foregroundAutomatic);
    m_backButton->setEnabled(!group.backgroundAutomatic);
    m_foreButton->SetColor(ToQColor(group.foreground));
    m_backButton->SetColor(ToQColor(group.background));
    m_sample->SetSample(GetWorkingFont(), ToQColor(PaintedForeground(group)), ToQColor(group.background));
}

std::uint32_t CFontColorDlg::PaintedForeground(const SECEditColorGroup& group) const
{
    // As the panes paint it: lightened on a dark Text background when it would not read.
    const std::size_t text = m_config.GetKindColorGroupIndex(ColorGroupKind::Text);
    if (text >= m_groups.size() || !SECEditContrast::IsDark(m_groups[text].background))
        return group.foreground;
    return SECEditContrast::Readable(group.foreground, group.background);
}

void CFontColorDlg::SetForeground(const QColor& color)
{
    const int index = GetSelectedGroup();
    if (index < 0 || !color.isValid())
        return;
    SECEditColorGroup& group = m_groups[static_cast<std::size_t>(index)];
    group.foreground = FromQColor(color);
    group.foregroundAutomatic = false;
    ApplyAutomaticRule();
    ShowSelectedGroup();
}

void CFontColorDlg::SetBackground(const QColor& color)
{
    const int index = GetSelectedGroup();
    if (index < 0 || !color.isValid())
        return;
    SECEditColorGroup& group = m_groups[static_cast<std::size_t>(index)];
    group.background = FromQColor(color);
    group.backgroundAutomatic = false;
    ApplyAutomaticRule();
    ShowSelectedGroup();
}

void CFontColorDlg::SetForegroundAutomatic(bool automatic)
{
    const int index = GetSelectedGroup();
    if (index < 0)
        return;
    // Turning automatic off keeps the colour shown until the user picks another.
    m_groups[static_cast<std::size_t>(index)].foregroundAutomatic = automatic;
    ApplyAutomaticRule();
    ShowSelectedGroup();
}

void CFontColorDlg::SetBackgroundAutomatic(bool automatic)
{
    const int index = GetSelectedGroup();
    if (index < 0)
        return;
    m_groups[static_cast<std::size_t>(index)].backgroundAutomatic = automatic;
    ApplyAutomaticRule();
    ShowSelectedGroup();
}

void CFontColorDlg::OnChooseColor(bool foreground)
{
    const int index = GetSelectedGroup();
    if (index < 0 || !m_chooseColor)
        return;
    const SECEditColorGroup& group = m_groups[static_cast<std::size_t>(index)];
    const std::optional<QColor> chosen =
        m_chooseColor(this, ToQColor(foreground ? group.foreground : group.background));
    if (!chosen)
        return;
    if (foreground)
        SetForeground(*chosen);
    else
        SetBackground(*chosen);
}

QFont CFontColorDlg::GetWorkingFont() const
{
    FontDescription description;
    description.face = m_face.isEmpty() ? std::u16string(kFallbackFace) : m_face.toStdU16String();
    description.pointSize = m_points;
    description.fixedPitch = true;
    return MakeQFont(description);
}

QString CFontColorDlg::GetShownFaceName() const
{
    // A built-in or missing face is painted in the desktop's fixed-width font: name that one.
    const FontDescription working{m_face.toStdU16String(), m_points, 0, 0, true, false, false};
    return UsesDesktopFixedFont(working) ? QFontInfo(GetWorkingFont()).family() : m_face;
}

QString CFontColorDlg::GetSizeText() const
{
    return QStringLiteral("%1 pt").arg(m_points);
}

void CFontColorDlg::SetWorkingFont(const QFont& font)
{
    if (font.family().isEmpty())
        return;
    m_face = font.family();
    double points = font.pointSizeF();
    if (points <= 0 && font.pixelSize() > 0) {
        double dpi = 96.0;
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            dpi = screen->logicalDotsPerInchY();
        points = font.pixelSize() * 72.0 / dpi;
    }
    if (points > 0)
        m_points = std::clamp(static_cast<int>(std::lround(points)), kMinPoints, kMaxPoints);
    ShowFont();
    ShowSelectedGroup();
}

void CFontColorDlg::OnChooseFont()
{
    if (!m_chooseFont)
        return;
    // The chooser starts on the face the editor really shows (a configured
    // face that is not installed is replaced by a fixed-pitch one), upright,
    // at the working size in points.
    QFont initial(QFontInfo(GetWorkingFont()).family());
    initial.setPointSize(m_points);
    initial.setStyle(QFont::StyleNormal);
    initial.setWeight(QFont::Normal);
    // The chooser matches styles by name ("Book", "Regular" ...), so name the upright one.
    for (const QString& style : QFontDatabase::styles(initial.family())) {
        const QFont candidate = QFontDatabase::font(initial.family(), style, m_points);
        if (candidate.style() == QFont::StyleNormal && candidate.weight() == QFont::Normal) {
            initial.setStyleName(style);
            break;
        }
    }
    if (const std::optional<QFont> chosen = m_chooseFont(this, initial))
        SetWorkingFont(*chosen);
}

void CFontColorDlg::ShowFont()
{
    m_faceLabel->setText(GetShownFaceName());
    m_sizeLabel->setText(GetSizeText());
}

void CFontColorDlg::ResetAll()
{
    m_face = FaceOf(m_config);
    m_points = m_config.GetSize() > 0 ? std::clamp(m_config.GetSize(), kMinPoints, kMaxPoints) : 10;
    // As many records as both have: the configuration is not expected to change meanwhile.
    const std::vector<SECEditColorGroup>& stored = m_config.GetColorGroups();
    const std::size_t count = std::min(stored.size(), m_groups.size());
    std::copy_n(stored.begin(), count, m_groups.begin());
    ApplyAutomaticRule();
    m_list->setCurrentRow(m_list->count() > 0 ? 0 : -1);
    ShowSelectedGroup();
    ShowFont();
    m_editorPage->Load(m_config);
}

void CFontColorDlg::Apply()
{
    m_config.SetFacename(m_face.toStdU16String());
    m_config.SetSize(m_points);
    // The editor font is always upright and of normal weight.
    m_config.SetItalic(false);
    m_config.SetBold(false);
    std::vector<SECEditColorGroup>& groups = m_config.GetColorGroups();
    const std::size_t count = std::min(groups.size(), m_groups.size());
    std::copy_n(m_groups.begin(), count, groups.begin());
    m_editorPage->Apply(m_config);
}

void CFontColorDlg::NotifyFontUpdate(SECEditLangConfig& config)
{
    SECEditMsg message(SECEditMsg::FontUpdate);
    config.UpdateAllObservers(nullptr, &message);
}

void CFontColorDlg::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    // A new desktop palette changes what the automatic colours are.
    if (event->type() == QEvent::PaletteChange && !m_groups.empty()) {
        ApplyAutomaticRule();
        ShowSelectedGroup();
    }
}
