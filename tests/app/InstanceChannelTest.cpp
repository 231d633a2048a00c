#include "app/CInstanceChannel.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QThread>
#include <QUuid>

#include <gtest/gtest.h>

#include <atomic>

namespace {

QString UniqueName()
{
    return QStringLiteral("tavro-test-") + QUuid::createUuid().toString(QUuid::Id128).left(12);
}

} // namespace

TEST(InstanceChannel, RunningInstanceReceivesTheFilesOfALaterLaunch)
{
    const QString name = UniqueName();
    CInstanceChannel running(name);
    ASSERT_TRUE(running.Listen());
    QStringList received;
    QObject::connect(&running, &CInstanceChannel::filesReceived, [&](const QStringList& files) { received = files; });

    // The later launch blocks while it waits, so it runs on a thread of its own.
    const QStringList sent{QStringLiteral("/tmp/a b.cpp"), QStringLiteral("/tmp/\u00e9t\u00e9.txt")};
    std::atomic<int> result{-1};
    QThread* sender = QThread::create([&] { result = CInstanceChannel(name).SendToRunningInstance(sent) ? 1 : 0; });
    sender->start();
    while (!sender->isFinished())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    sender->wait();
    delete sender;
    QCoreApplication::processEvents(); // the files are handed on from the event loop

    EXPECT_EQ(result.load(), 1);
    EXPECT_EQ(received, sent);
}

TEST(InstanceChannel, HandOverFailsWhenNobodyListens)
{
    // The second instance then opens the files itself.
    EXPECT_FALSE(CInstanceChannel(UniqueName()).SendToRunningInstance({QStringLiteral("/tmp/x")}, 500));
}

TEST(InstanceChannel, OnlyOneInstanceListensUnderAName)
{
    const QString name = UniqueName();
    CInstanceChannel first(name);
    CInstanceChannel second(name);
    ASSERT_TRUE(first.Listen());
    EXPECT_FALSE(second.Listen());
}

TEST(InstanceChannel, SocketLeftByACrashedInstanceIsReplaced)
{
    const QString name = UniqueName();
    QFile stale(QDir::tempPath() + QLatin1Char('/') + name);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly)); // nobody answers on it
    stale.close();
    CInstanceChannel channel(name);
    EXPECT_TRUE(channel.Listen());
    EXPECT_TRUE(channel.IsListening());
}
