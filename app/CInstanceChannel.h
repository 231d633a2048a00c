#pragma once

#include <QObject>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

// Lets a second launch hand its file names to the instance already running
// for the same user on the same display. The running instance listens; a
// later launch sends the names and waits for an acknowledgement, so that it
// can open the files itself when nobody answers.
class CInstanceChannel : public QObject
{
    Q_OBJECT

public:
    explicit CInstanceChannel(QString name = DefaultName(), QObject* parent = nullptr);
    ~CInstanceChannel() override;

    // One name per user and display: an instance on another display must not
    // receive files meant for this one.
    static QString DefaultName();

    // Sends the files to a running instance; true only when it acknowledged them.
    bool SendToRunningInstance(const QStringList& files, int timeoutMs = 3000) const;

    // Starts listening; a socket left behind by a crashed instance is replaced.
    bool Listen();
    bool IsListening() const;

Q_SIGNALS:
    void filesReceived(const QStringList& files);

private:
    void OnNewConnection();
    void OnReadyRead(QLocalSocket* socket);

    QString m_name;
    QLocalServer* m_server = nullptr;
};
