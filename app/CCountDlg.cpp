#include "app/CCountDlg.h"

#include "engine/SECEdit.h"
#include "engine/SECEditTextStore.h"
#include "view/ISECEditPresentationState.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QLineEdit* NumberField(const QString& name)
{
    auto* field = new QLineEdit;
    field->setObjectName(name);
    field->setReadOnly(true);
    field->setAlignment(Qt::AlignRight);
    field->setMinimumWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("0000000000000")));
    return field;
}

} // namespace

CCountDlg::CCountDlg(const CountStatistics& whole, const std::optional<CountStatistics>& selection,
                     QWidget* parent)
    : QDialog(parent), m_whole(whole), m_selection(selection)
{
    setWindowTitle(tr("Count Statistics"));
    if (m_selection && m_selection->AllCharacters() == 0)
        m_selection.reset();

    m_printable = NumberField(QStringLiteral("printable"));
    m_all = NumberField(QStringLiteral("all"));
    m_words = NumberField(QStringLiteral("words"));
    m_lines = NumberField(QStringLiteral("lines"));

    auto* form = new QFormLayout;
    const auto addRow = [form](const QString& text, QLineEdit* field) {
        auto* label = new QLabel(text);
        label->setBuddy(field);
        form->addRow(label, field);
    };
    addRow(tr("&1 Printable Characters:\n(No spaces, tabs, CRs or LFs)"), m_printable);
    addRow(tr("&2 All Characters:"), m_all);
    addRow(tr("&3 Words:"), m_words);
    addRow(tr("&4 Lines:"), m_lines);

    auto* scopeBox = new QGroupBox(tr("Scope"));
    m_allButton = new QRadioButton(tr("&All"));
    m_allButton->setObjectName(QStringLiteral("scopeAll"));
    m_selectionButton = new QRadioButton(tr("&Selection"));
    m_selectionButton->setObjectName(QStringLiteral("scopeSelection"));
    auto* scopeLayout = new QVBoxLayout(scopeBox);
    scopeLayout->addWidget(m_allButton);
    scopeLayout->addWidget(m_selectionButton);
    scopeLayout->addStretch();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    // The fields are for reading; Enter or Space closes at once.
    buttons->button(QDialogButtonBox::Ok)->setFocus();

    auto* top = new QHBoxLayout;
    top->addLayout(form);
    top->addWidget(scopeBox);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);

    m_selectionButton->setEnabled(m_selection.has_value());
    SetScope(m_selection ? Selection : All);
    connect(m_allButton, &QRadioButton::clicked, this, [this] { SetScope(All); });
    connect(m_selectionButton, &QRadioButton::clicked, this, [this] { SetScope(Selection); });
    setFixedSize(sizeHint());
}

void CCountDlg::SetScope(int scope)
{
    if (scope == Selection && !m_selection)
        scope = All;
    m_scope = scope;
    m_allButton->setChecked(scope == All);
    m_selectionButton->setChecked(scope == Selection);
    ShowCounts();
}

const CountStatistics& CCountDlg::GetShownCounts() const
{
    return m_scope == Selection && m_selection ? *m_selection : m_whole;
}

void CCountDlg::ShowCounts()
{
    const CountStatistics& counts = GetShownCounts();
    m_printable->setText(QString::number(counts.PrintableCharacters()));
    m_all->setText(QString::number(counts.AllCharacters()));
    m_words->setText(QString::number(counts.Words()));
    m_lines->setText(QString::number(counts.Lines()));
}

CountStatistics CCountDlg::CountDocument(const SECEdit& edit)
{
    CountStatistics counts;
    if (const SECEditTextStore* store = edit.GetTextStore()) {
        // Straight from the store's blocks: no copy of a large document.
        store->ForEachChunk(0, -1, [&counts](std::u16string_view piece) {
            counts.Add(piece);
            return true;
        });
    }
    return counts;
}

std::optional<CountStatistics> CCountDlg::CountSelection(const SECEdit& edit, const ISECEditPresentationState& state)
{
    const SECEditTextStore* store = edit.GetTextStore();
    int startLine = 0, startColumn = 0, endLine = 0, endColumn = 0;
    if (!store || !state.HasSelection() || !state.GetSelection(startLine, startColumn, endLine, endColumn))
        return std::nullopt;

    CountStatistics counts;
    if (state.IsColumnSelection()) {
        const std::u16string lineEnd = edit.GetLineEndString();
        endLine = std::min(endLine, edit.GetLineCount() - 1);
        // As the block is copied: each line's part followed by a line break,
        // the last one too.
        for (int line = startLine; line <= endLine; ++line) {
            int from = 0, to = 0;
            std::u16string_view text;
            if (state.GetColumnSelectionSpan(line, from, to) && edit.GetLineText(line, text) >= 0) {
                // The block may reach into virtual space beyond a short line.
                const int length = static_cast<int>(text.size());
                from = std::clamp(from, 0, length);
                to = std::clamp(to, from, length);
                counts.Add(text.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from)));
            }
            counts.Add(lineEnd);
        }
    } else {
        const std::ptrdiff_t start = store->PositionToOffset(startLine, startColumn);
        const std::ptrdiff_t end = store->PositionToOffset(endLine, endColumn);
        if (start < 0 || end <= start)
            return std::nullopt;
        store->ForEachChunk(start, end - start, [&counts](std::u16string_view piece) {
            counts.Add(piece);
            return true;
        });
    }
    if (counts.AllCharacters() == 0)
        return std::nullopt;
    return counts;
}
