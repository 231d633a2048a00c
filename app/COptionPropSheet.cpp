#include "app/COptionPropSheet.h"

#include "app/CSendToShortcut.h"
#include "platform/IMessageBox.h"
#include "platform/ISettingsStore.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr std::u16string_view kUserInfo = u"UserInfo";
constexpr std::u16string_view kSettings = u"Settings";
constexpr int kDefaultTabStop = 5;

} // namespace

const char16_t* const COptionPropSheet::kUserKeys[kUserFieldCount] = {
    u"UserName", u"CompanyName", u"Address1", u"Address2", u"City",
    u"State",    u"Zip",         u"Email",    u"Tel",      u"Fax"};

COptionPropSheet::COptionPropSheet(ISettingsStore& settings, IMessageBox& messages, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_messages(messages),
      m_chooseFolder([](QWidget* owner, const QString& start) {
          return QFileDialog::getExistingDirectory(owner, tr("Select a folder:"), start);
      }),
      m_shortcutFolder(CSendToShortcut::DefaultFolder())
{
    setWindowTitle(tr("Options"));
    m_tabs = new QTabWidget;
    m_tabs->addTab(CreateUserPage(), tr("User Information"));
    m_tabs->addTab(CreateOtherPage(), tr("Other Options"));
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == 1)
            LoadOtherPage();
    });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &COptionPropSheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);
    m_user[0]->setFocus();
}

QWidget* COptionPropSheet::CreateUserPage()
{
    static const char* const labels[kUserFieldCount] = {
        QT_TR_NOOP("&User Name:"), QT_TR_NOOP("&Company Name:"), QT_TR_NOOP("Address &1:"),
        QT_TR_NOOP("Address &2:"), QT_TR_NOOP("Cit&y:"),        QT_TR_NOOP("&State:"),
        QT_TR_NOOP("&Zip:"),       QT_TR_NOOP("&E-mail:"),      QT_TR_NOOP("&Telephone:"),
        QT_TR_NOOP("Fa&x:")};
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    for (int i = 0; i < kUserFieldCount; ++i) {
        m_user[i] = new QLineEdit(QString::fromStdU16String(m_settings.ReadString(kUserInfo, kUserKeys[i], u"")));
        m_user[i]->setObjectName(QString::fromStdU16String(kUserKeys[i]));
        form->addRow(tr(labels[i]), m_user[i]);
    }
    return page;
}

QWidget* COptionPropSheet::CreateOtherPage()
{
    auto* page = new QWidget;
    m_directory = new QLineEdit;
    m_directory->setObjectName(QStringLiteral("DefaultDir"));
    auto* browse = new QPushButton(tr("..."));
    browse->setToolTip(tr("Choose the folder"));
    connect(browse, &QPushButton::clicked, this, &COptionPropSheet::OnBrowse);
    auto* directoryRow = new QHBoxLayout;
    directoryRow->addWidget(m_directory, 1);
    directoryRow->addWidget(browse);

    m_tabStop = new QSpinBox;
    m_tabStop->setObjectName(QStringLiteral("TabStop"));
    m_tabStop->setRange(1, 32);

    m_newLineEnds = new QComboBox;
    m_newLineEnds->setObjectName(QString::fromUtf16(kNewLineEndsKey));
    m_newLineEnds->addItem(tr("LF"), QStringLiteral("LF"));
    m_newLineEnds->addItem(tr("CR LF"), QStringLiteral("CRLF"));

    auto* directoryLabel = new QLabel(tr("&Document directory:"));
    directoryLabel->setBuddy(m_directory);
    auto* form = new QFormLayout;
    form->addRow(directoryLabel, directoryRow);
    form->addRow(tr("T&ab Stop"), m_tabStop);
    form->addRow(tr("&Line ends of new documents:"), m_newLineEnds);

    auto* shell = new QGroupBox(tr("Shell Integration"));
    auto* sendTo = new QPushButton(tr("Send T&o Shortcut"));
    sendTo->setObjectName(QStringLiteral("sendToShortcut"));
    sendTo->setToolTip(tr("Add Tavro to the applications the desktop offers for opening files"));
    connect(sendTo, &QPushButton::clicked, this, &COptionPropSheet::OnSendToShortcut);
    auto* shellLayout = new QHBoxLayout(shell);
    shellLayout->addWidget(sendTo);
    shellLayout->addStretch();

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(form);
    layout->addWidget(shell);
    layout->addStretch();
    return page;
}

void COptionPropSheet::LoadOtherPage()
{
    if (m_otherLoaded)
        return;
    m_otherLoaded = true;
    m_directory->setText(QString::fromStdU16String(m_settings.ReadString(kSettings, u"DefaultDir", u"")));
    m_wordWrap = m_settings.ReadInt(kSettings, u"WordWrapState", 0);
    m_tabStop->setValue(m_settings.ReadInt(kSettings, u"TabStop", kDefaultTabStop));
    m_newLineEnds->setCurrentIndex(NewDocumentsUseLineFeeds(m_settings) ? 0 : 1);
}

bool COptionPropSheet::NewDocumentsUseLineFeeds(const ISettingsStore& settings)
{
    // Anything but CR LF, a missing or mangled value included, means the platform's own.
    const QString value = QString::fromStdU16String(settings.ReadString(kSettings, kNewLineEndsKey, u"LF")).trimmed();
    return value.compare(QLatin1String("CRLF"), Qt::CaseInsensitive) != 0;
}

void COptionPropSheet::OnBrowse()
{
    const QString start = m_directory->text().isEmpty()
                              ? QStandardPaths::writableLocation(QStandardPaths::DesktopLocation)
                              : m_directory->text();
    const QString chosen = m_chooseFolder ? m_chooseFolder(this, start) : QString();
    if (!chosen.isEmpty())
        m_directory->setText(chosen);
}

void COptionPropSheet::OnSendToShortcut()
{
    CSendToShortcut::Create(m_shortcutFolder, QCoreApplication::applicationFilePath(), m_messages);
}

void COptionPropSheet::accept()
{
    for (int i = 0; i < kUserFieldCount; ++i)
        m_settings.WriteString(kUserInfo, kUserKeys[i], m_user[i]->text().toStdU16String());
    if (m_otherLoaded) {
        m_settings.WriteString(kSettings, u"DefaultDir", m_directory->text().toStdU16String());
        m_settings.WriteInt(kSettings, u"WordWrapState", m_wordWrap);
        m_settings.WriteInt(kSettings, u"TabStop", m_tabStop->value());
        m_settings.WriteString(kSettings, kNewLineEndsKey, m_newLineEnds->currentData().toString().toStdU16String());
    }
    QDialog::accept();
}
