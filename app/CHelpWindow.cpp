#include "app/CHelpWindow.h"

#include <QDesktopServices>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

CHelpWindow::CHelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Tavro Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(640, 560);

    m_browser = new QTextBrowser(this);
    m_browser->setOpenLinks(true);
    m_browser->setOpenExternalLinks(true);
    m_browser->setSearchPaths({QStringLiteral(":/help")});

    auto* bar = new QToolBar(this);
    bar->setIconSize(QSize(16, 16));
    QAction* contents = bar->addAction(QIcon::fromTheme(QStringLiteral("go-home")), tr("&Contents"));
    QAction* back = bar->addAction(QIcon::fromTheme(QStringLiteral("go-previous")), tr("&Back"));
    QAction* forward = bar->addAction(QIcon::fromTheme(QStringLiteral("go-next")), tr("&Forward"));
    back->setEnabled(false);
    forward->setEnabled(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    connect(contents, &QAction::triggered, this, &CHelpWindow::ShowContents);
    connect(back, &QAction::triggered, m_browser, &QTextBrowser::backward);
    connect(forward, &QAction::triggered, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_browser);

    ShowContents();
}

void CHelpWindow::ShowContents()
{
    m_browser->setSource(QUrl(QStringLiteral("qrc:/help/index.html")));
}
