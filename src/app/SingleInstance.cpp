#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace {

const QByteArray raiseWord = QByteArrayLiteral("raise\n");
const QByteArray okWord = QByteArrayLiteral("ok\n");

} // namespace

QString SingleInstance::serverName(const QString& databasePath)
{
    const QString absolute = QFileInfo(databasePath).absoluteFilePath();
    const QByteArray digest =
        QCryptographicHash::hash(absolute.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    const QString base = QStringLiteral("qnmr-orvane-%1-%2").arg(qint64(::getuid())).arg(QString::fromLatin1(digest));
    // The user's runtime folder is private to the user; the plain name lands in the
    // shared temporary folder, still distinct per user through the uid.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir() && runtime.size() + base.size() < 100)
        return QDir(runtime).filePath(base);
    return base;
}

SingleInstance::SingleInstance(const QString& name, QObject* parent) : QObject(parent), m_name(name) {}

bool SingleInstance::listening() const
{
    return m_server && m_server->isListening();
}

bool SingleInstance::askRunning(int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(raiseWord);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    // The answer proves a live copy took the request, not a dying one.
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    }
    return socket.readLine() == okWord;
}

bool SingleInstance::anotherCopyRuns(int timeoutMs)
{
    if (askRunning(timeoutMs))
        return true;
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        // Someone listens already (a copy that started at the same moment), or a
        // crashed copy left its socket file behind.
        if (askRunning(timeoutMs))
            return true;
        QLocalServer::removeServer(m_name);
        m_server->listen(m_name);
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    return false;
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        const auto answer = [this, socket] {
            if (!socket->canReadLine())
                return;
            if (socket->readLine() == raiseWord) {
                socket->write(okWord);
                socket->flush();
                emit raiseRequested();
            }
            socket->disconnectFromServer();
        };
        connect(socket, &QLocalSocket::readyRead, this, answer);
        answer();
    }
}
