#include "app/CInstanceChannel.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QVariant>

#include <unistd.h>

namespace {

// The message is the file names, each followed by a line feed, and an empty
// line to end it; the answer is "OK\n".
constexpr char kAck[] = "OK\n";

QByteArray Encode(const QStringList& files)
{
    QByteArray data;
    for (const QString& file : files) {
        data += file.toUtf8();
        data += '\n';
    }
    data += '\n';
    return data;
}

} // namespace

CInstanceChannel::CInstanceChannel(QString name, QObject* parent) : QObject(parent), m_name(std::move(name)) {}

CInstanceChannel::~CInstanceChannel() = default;

QString CInstanceChannel::DefaultName()
{
    QByteArray display = qgetenv("WAYLAND_DISPLAY");
    display += '|';
    display += qgetenv("DISPLAY");
    const QByteArray hash = QCryptographicHash::hash(display, QCryptographicHash::Sha1).toHex().left(12);
    return QStringLiteral("tavro-%1-%2").arg(::getuid()).arg(QString::fromLatin1(hash));
}

bool CInstanceChannel::SendToRunningInstance(const QStringList& files, int timeoutMs) const
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(Encode(files));
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    QByteArray answer;
    while (!answer.contains('\n')) {
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
        answer += socket.readAll();
    }
    return answer.startsWith(kAck);
}

bool CInstanceChannel::Listen()
{
    if (m_server)
        return true;
    // Someone answering on the name is a running instance: it keeps the name.
    // (QLocalServer would otherwise replace its socket without a word.)
    {
        QLocalSocket probe;
        probe.connectToServer(m_name);
        if (probe.waitForConnected(500))
            return false;
    }
    auto* server = new QLocalServer(this);
    if (!server->listen(m_name)) {
        // Nobody answered, so the socket was left behind by an instance that crashed.
        QLocalServer::removeServer(m_name);
        if (!server->listen(m_name)) {
            delete server;
            return false;
        }
    }
    m_server = server;
    connect(m_server, &QLocalServer::newConnection, this, &CInstanceChannel::OnNewConnection);
    return true;
}

bool CInstanceChannel::IsListening() const
{
    return m_server && m_server->isListening();
}

void CInstanceChannel::OnNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { OnReadyRead(socket); });
        if (socket->bytesAvailable() > 0)
            OnReadyRead(socket);
    }
}

void CInstanceChannel::OnReadyRead(QLocalSocket* socket)
{
    // Accumulate until the empty line; a sender that never finishes is cut off
    // by its own disconnect.
    QByteArray buffer = socket->property("tavroBuffer").toByteArray() + socket->readAll();
    const qsizetype end = buffer.startsWith('\n') ? 0 : buffer.indexOf("\n\n");
    if (end < 0) {
        if (buffer.size() > 1 << 20) // nobody hands over a megabyte of names
            socket->abort();
        else
            socket->setProperty("tavroBuffer", buffer);
        return;
    }
    socket->setProperty("tavroBuffer", QVariant());
    QStringList files;
    for (const QByteArray& line : buffer.left(end).split('\n')) {
        if (!line.isEmpty())
            files.append(QString::fromUtf8(line));
    }
    socket->write(kAck);
    socket->flush();
    // Handed on from the event loop, not from inside the socket's signal:
    // opening the files may run a nested loop (a message, a progress window)
    // in which the sender's disconnect deletes the socket.
    QMetaObject::invokeMethod(this, [this, files] { Q_EMIT filesReceived(files); }, Qt::QueuedConnection);
}
