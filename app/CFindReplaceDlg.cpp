#include "app/CFindReplaceDlg.h"

#include "controller/SECEditSearchSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QString ToQString(const std::u16string& text) { return QString::fromStdU16String(text); }

QComboBox* MakeCombo(QWidget* parent, const QString& name)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMinimumContentsLength(28);
    combo->lineEdit()->setMaxLength(CFindReplaceDlg::MaxTextLength);
    return combo;
}

} // namespace

CFindReplaceDlg::CFindReplaceDlg(bool find, const SECEditSearchSettings& settings, const QString& proposed,
                                 QWidget* parent)
    : QDialog(parent), m_find(find)
{
    setObjectName(find ? QStringLiteral("FindDialog") : QStringLiteral("ReplaceDialog"));
    setWindowTitle(find ? tr("Find") : tr("Replace"));
    setModal(false);

    auto* fields = new QGridLayout;
    m_findWhat = MakeCombo(this, QStringLiteral("findWhat"));
    auto* findLabel = new QLabel(tr("Fi&nd what:"), this);
    findLabel->setBuddy(m_findWhat);
    fields->addWidget(findLabel, 0, 0);
    fields->addWidget(m_findWhat, 0, 1);
    if (!find) {
        m_replaceWith = MakeCombo(this, QStringLiteral("replaceWith"));
        auto* replaceLabel = new QLabel(tr("Re&place with:"), this);
        replaceLabel->setBuddy(m_replaceWith);
        fields->addWidget(replaceLabel, 1, 0);
        fields->addWidget(m_replaceWith, 1, 1);
    }

    m_wholeWord = new QCheckBox(tr("Match &whole word only"), this);
    m_wholeWord->setObjectName(QStringLiteral("wholeWord"));
    m_matchCase = new QCheckBox(tr("Match &case"), this);
    m_matchCase->setObjectName(QStringLiteral("matchCase"));
    m_regularExpression = new QCheckBox(tr("Regular &expression"), this);
    m_regularExpression->setObjectName(QStringLiteral("regularExpression"));
    auto* options = new QVBoxLayout;
    options->addWidget(m_wholeWord);
    options->addWidget(m_matchCase);
    options->addWidget(m_regularExpression);

    auto* group = new QGroupBox(find ? tr("Direction") : tr("Replace In"), this);
    m_first = new QRadioButton(find ? tr("&Up") : tr("&Selection"), group);
    m_second = new QRadioButton(find ? tr("&Down") : tr("Wh&ole file"), group);
    m_first->setObjectName(find ? QStringLiteral("up") : QStringLiteral("selection"));
    m_second->setObjectName(find ? QStringLiteral("down") : QStringLiteral("wholeFile"));
    auto* radios = new QHBoxLayout(group);
    radios->addWidget(m_first);
    radios->addWidget(m_second);

    auto* lower = new QHBoxLayout;
    lower->addLayout(options);
    lower->addWidget(group);

    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addLayout(lower);

    auto* buttons = new QVBoxLayout;
    m_findNext = new QPushButton(tr("&Find Next"), this);
    m_findNext->setObjectName(QStringLiteral("findNext"));
    m_findNext->setDefault(true);
    buttons->addWidget(m_findNext);
    if (find) {
        m_markAll = new QPushButton(tr("&Mark All"), this);
        m_markAll->setObjectName(QStringLiteral("markAll"));
        buttons->addWidget(m_markAll);
    } else {
        m_replace = new QPushButton(tr("&Replace"), this);
        m_replace->setObjectName(QStringLiteral("replace"));
        m_replaceAll = new QPushButton(tr("Replace &All"), this);
        m_replaceAll->setObjectName(QStringLiteral("replaceAll"));
        buttons->addWidget(m_replace);
        buttons->addWidget(m_replaceAll);
    }
    auto* cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    buttons->addWidget(cancel);
    buttons->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(buttons);

    // Values from the settings.
    FillHistories(settings);
    QString text = proposed;
    if (text.isEmpty() && !settings.findHistory.empty())
        text = ToQString(settings.findHistory.front());
    m_findWhat->setEditText(text.left(MaxTextLength));
    if (m_replaceWith)
        m_replaceWith->setEditText(ToQString(settings.replaceText).left(MaxTextLength));
    m_matchCase->setChecked(settings.matchCase);
    m_wholeWord->setChecked(settings.wholeWord);
    m_regularExpression->setChecked(settings.regularExpression && settings.regularExpressionsAvailable);
    m_regularExpression->setVisible(settings.regularExpressionsAvailable);
    if (find)
        (settings.down ? m_second : m_first)->setChecked(true);
    else {
        (settings.selectionOnly ? m_first : m_second)->setChecked(true);
        m_wantsSelectionScope = settings.selectionOnly;
    }

    connect(m_findWhat, &QComboBox::editTextChanged, this, &CFindReplaceDlg::UpdateButtons);
    connect(m_first, &QRadioButton::toggled, this, &CFindReplaceDlg::UpdateButtons);
    connect(m_regularExpression, &QCheckBox::toggled, this, &CFindReplaceDlg::ApplyRegularExpressionRule);
    connect(m_findNext, &QPushButton::clicked, this, [this] { RunAction(FindNext); });
    if (m_markAll)
        connect(m_markAll, &QPushButton::clicked, this, [this] { RunAction(MarkAll); });
    if (m_replace) {
        connect(m_replace, &QPushButton::clicked, this, [this] { RunAction(Replace); });
        connect(m_replaceAll, &QPushButton::clicked, this, [this] { RunAction(ReplaceAll); });
    }
    connect(cancel, &QPushButton::clicked, this, &CFindReplaceDlg::reject);
    ApplyRegularExpressionRule();
}

QString CFindReplaceDlg::GetFindText() const { return m_findWhat->currentText(); }
QString CFindReplaceDlg::GetReplaceText() const { return m_replaceWith ? m_replaceWith->currentText() : QString(); }
bool CFindReplaceDlg::GetMatchCase() const { return m_matchCase->isChecked(); }
bool CFindReplaceDlg::GetWholeWord() const { return m_wholeWord->isChecked() && !GetRegularExpression(); }
bool CFindReplaceDlg::GetRegularExpression() const { return m_regularExpression->isChecked(); }
bool CFindReplaceDlg::GetSearchDown() const { return !m_find || m_second->isChecked(); }
bool CFindReplaceDlg::GetSelectionOnly() const { return !m_find && m_first->isChecked() && m_first->isEnabled(); }

void CFindReplaceDlg::Store(SECEditSearchSettings& settings) const
{
    settings.down = GetSearchDown();
    settings.matchCase = GetMatchCase();
    settings.wholeWord = GetWholeWord();
    settings.findText = GetFindText().toStdU16String();
    if (!m_find)
        settings.replaceText = GetReplaceText().toStdU16String();
    settings.selectionOnly = GetSelectionOnly();
    settings.lastDialogWasFind = m_find;
    settings.regularExpression = GetRegularExpression();
    SECEditSearchSettings::AddToHistory(settings.findHistory, settings.findText);
    if (!m_find)
        SECEditSearchSettings::AddToHistory(settings.replaceHistory, settings.replaceText);
}

void CFindReplaceDlg::FillHistories(const SECEditSearchSettings& settings)
{
    auto fill = [](QComboBox* combo, const std::vector<std::u16string>& history) {
        if (!combo)
            return;
        const QString text = combo->currentText();
        combo->blockSignals(true);
        combo->clear();
        for (const std::u16string& entry : history)
            combo->addItem(ToQString(entry));
        combo->setEditText(text);
        combo->blockSignals(false);
    };
    fill(m_findWhat, settings.findHistory);
    fill(m_replaceWith, settings.replaceHistory);
}

void CFindReplaceDlg::RunAction(int action)
{
    m_action = action;
    const bool done = m_partner && m_partner(*this);
    if (!done)
        return;
    // A successful Find Next closes the Find dialog; Mark All and Replace All
    // are followed at once by Find Next.
    if (action == FindNext && m_find)
        accept();
    else if (action == MarkAll || action == ReplaceAll)
        RunAction(FindNext);
}

void CFindReplaceDlg::reject()
{
    m_action = Close;
    if (m_partner)
        m_partner(*this);
    QDialog::reject();
}

void CFindReplaceDlg::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        UpdateScope();
}

void CFindReplaceDlg::UpdateScope()
{
    if (m_find)
        return;
    const bool selection = m_hasSelection && m_hasSelection() && !GetRegularExpression();
    m_first->setEnabled(selection);
    if (!selection)
        m_second->setChecked(true);
    else if (m_wantsSelectionScope)
        m_first->setChecked(true);
    // Until the pane has been asked, the scope last used is still to come.
    if (m_hasSelection)
        m_wantsSelectionScope = false;
    UpdateButtons();
}

void CFindReplaceDlg::ApplyRegularExpressionRule()
{
    // A regular expression decides word boundaries itself, and searches the
    // whole file.
    const bool on = GetRegularExpression();
    if (on)
        m_wholeWord->setChecked(false);
    m_wholeWord->setEnabled(!on);
    if (!m_find)
        UpdateScope();
    UpdateButtons();
}

void CFindReplaceDlg::UpdateButtons()
{
    const bool text = !GetFindText().isEmpty();
    const bool selectionScope = !m_find && m_first->isChecked();
    m_findNext->setEnabled(text && !selectionScope);
    if (m_markAll)
        m_markAll->setEnabled(text);
    if (m_replace) {
        m_replace->setEnabled(text && !selectionScope);
        m_replaceAll->setEnabled(text);
    }
}
