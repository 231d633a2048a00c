#include "app/CSpellCheckDlg.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kContext = 60; // characters shown either side of the word

QString Context(const QString& word, const QString& text, int start)
{
    const int from = std::max(0, start - kContext);
    const int to = std::min(int(text.size()), start + int(word.size()) + kContext);
    QString before = text.mid(from, start - from).toHtmlEscaped();
    QString after = text.mid(start + int(word.size()), to - start - int(word.size())).toHtmlEscaped();
    return (from > 0 ? QStringLiteral("&hellip;") : QString()) + before + QStringLiteral("<b><u>") +
           word.toHtmlEscaped() + QStringLiteral("</u></b>") + after +
           (to < int(text.size()) ? QStringLiteral("&hellip;") : QString());
}

} // namespace

CSpellCheckDlg::CSpellCheckDlg(const QString& word, const QStringList& suggestions, const QString& text,
                               int start, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Spelling"));
    auto* context = new QTextBrowser;
    context->setObjectName(QStringLiteral("context"));
    context->setHtml(Context(word, text, start).replace(QLatin1Char('\n'), QStringLiteral("<br>")));
    context->setMaximumHeight(80);

    m_changeTo = new QLineEdit(suggestions.isEmpty() ? word : suggestions.first());
    m_changeTo->setObjectName(QStringLiteral("changeTo"));
    m_suggestions = new QListWidget;
    m_suggestions->setObjectName(QStringLiteral("suggestions"));
    m_suggestions->addItems(suggestions);
    if (suggestions.isEmpty()) {
        m_suggestions->addItem(tr("(no suggestions)"));
        m_suggestions->setEnabled(false);
    } else {
        m_suggestions->setCurrentRow(0);
    }
    connect(m_suggestions, &QListWidget::currentTextChanged, this, [this](const QString& text) {
        if (m_suggestions->isEnabled())
            m_changeTo->setText(text);
    });
    connect(m_suggestions, &QListWidget::itemDoubleClicked, this,
            [this] { Decide(SpellChecker::Decision::Change); });

    auto* form = new QFormLayout;
    form->addRow(new QLabel(tr("Not in dictionary: <b>%1</b>").arg(word.toHtmlEscaped())));
    form->addRow(context);
    form->addRow(tr("C&hange to:"), m_changeTo);
    form->addRow(tr("Su&ggestions:"), m_suggestions);

    auto* buttons = new QVBoxLayout;
    const std::pair<QString, SpellChecker::Decision::Kind> actions[] = {
        {tr("&Ignore"), SpellChecker::Decision::Ignore},
        {tr("I&gnore All"), SpellChecker::Decision::IgnoreAll},
        {tr("&Change"), SpellChecker::Decision::Change},
        {tr("Change A&ll"), SpellChecker::Decision::ChangeAll},
        {tr("Cancel"), SpellChecker::Decision::Cancel},
    };
    for (const auto& [label, kind] : actions) {
        auto* button = new QPushButton(label);
        button->setAutoDefault(false);
        if (kind == SpellChecker::Decision::Change)
            button->setDefault(true);
        connect(button, &QPushButton::clicked, this, [this, kind = kind] { Decide(kind); });
        buttons->addWidget(button);
    }
    buttons->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(form, 1);
    layout->addLayout(buttons);
    resize(520, 320);
    m_changeTo->setFocus();
}

void CSpellCheckDlg::Decide(SpellChecker::Decision::Kind kind)
{
    m_decision = {kind, m_changeTo->text()};
    if (kind == SpellChecker::Decision::Cancel)
        QDialog::reject();
    else
        accept();
}

void CSpellCheckDlg::reject()
{
    // Escape and the window's close button stop the check.
    m_decision = {SpellChecker::Decision::Cancel, {}};
    QDialog::reject();
}
