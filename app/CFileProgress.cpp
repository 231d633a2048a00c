#include "app/CFileProgress.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>

namespace {

constexpr int kSteps = 1000;
constexpr int kPollMs = 40;

} // namespace

void CFileProgress::Run(Kind kind, const std::string& path, std::uint64_t bytes,
                        const std::function<void(const Step&)>& work)
{
    if (bytes <= m_threshold) {
        work([](std::uint64_t, std::uint64_t) { return true; });
        return;
    }

    std::atomic<std::uint64_t> done{0};
    std::atomic<std::uint64_t> total{bytes};
    std::atomic<bool> stop{false};
    std::atomic<bool> finished{false};
    std::exception_ptr error;

    const QString name = QDir::toNativeSeparators(QFile::decodeName(QByteArray::fromStdString(path)));
    QProgressDialog dialog(kind == Kind::Open ? tr("Opening '%1'...").arg(name) : tr("Saving '%1'...").arg(name),
                           tr("Cancel"), 0, kSteps, QApplication::activeWindow());
    dialog.setWindowTitle(kind == Kind::Open ? tr("Opening") : tr("Saving"));
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setMinimumDuration(0);
    dialog.setValue(0);
    const auto stopRequested = [&] {
        stop = true;
        dialog.setLabelText(tr("Stopping..."));
        if (auto* button = dialog.findChild<QPushButton*>())
            button->setEnabled(false);
    };
    QObject::connect(&dialog, &QProgressDialog::canceled, &dialog, stopRequested);
    dialog.show();
    // Busy, yet Cancel can be pressed: the arrow with the busy sign over the wait cursor.
    QGuiApplication::setOverrideCursor(QCursor(Qt::BusyCursor));

    ++s_running;
    if (m_shown)
        m_shown(dialog);

    QEventLoop loop;
    QTimer poll;
    bool polling = false;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (polling) // a modal dialog's setValue runs events itself
            return;
        polling = true;
        if (finished) {
            loop.quit();
        } else {
            // Closed some other way than Cancel: stopped all the same, and
            // shown until the work is over so the windows stay out of reach.
            if (!dialog.isVisible() || dialog.wasCanceled()) {
                if (!stop)
                    stopRequested();
                if (!dialog.isVisible())
                    dialog.show();
            }
            const std::uint64_t all = std::max<std::uint64_t>(total, 1);
            const std::uint64_t now = std::min<std::uint64_t>(done, all);
            // A save past its last byte only renames: no stopping it now.
            if (kind == Kind::Save && now >= all && !stop) {
                if (auto* button = dialog.findChild<QPushButton*>())
                    button->setEnabled(false);
            }
            dialog.setValue(int(now * kSteps / all));
        }
        polling = false;
    });

    std::thread worker([&] {
        try {
            work([&](std::uint64_t now, std::uint64_t all) {
                total = all;
                done = now;
                return !stop;
            });
        } catch (...) {
            error = std::current_exception();
        }
        finished = true;
    });
    poll.start(kPollMs);
    loop.exec();
    worker.join();
    --s_running;
    QGuiApplication::restoreOverrideCursor();
    dialog.hide();
    if (error)
        std::rethrow_exception(error);
}
