// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/TcpSerialPort.h"
#include "langue/qt/LangueQt.h"
#include "platform/line_texts.h"

#include <QRegularExpression>
#include <QTimer>


namespace platform::qt {

namespace {
// How long a connection may take: the first open waits that long at most; a later attempt still
// under way after that long is given up and started again.
constexpr int DélaiConnexionMs = 2000;
constexpr unsigned PortMax = 65535;
} // namespace

std::optional<TcpAddress> tcpAddress(const QString& text)
{
    static const QRegularExpression comPort(
        QStringLiteral("^COM[0-9]+$"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression bracketed(QStringLiteral("^\\[([^\\]]+)\\]:([0-9]+)$"));
    static const QRegularExpression plain(QStringLiteral("^([^:/\\[\\]]+):([0-9]+)$"));
    if (text.startsWith(QLatin1Char('/')) || comPort.match(text).hasMatch())
        return std::nullopt;
    QRegularExpressionMatch match = bracketed.match(text);
    if (!match.hasMatch())
        match = plain.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    bool ok = false;
    const unsigned port = match.captured(2).toUInt(&ok);
    TcpAddress address;
    address.host = match.captured(1);
    address.port = ok && port <= PortMax ? static_cast<quint16>(port) : 0;
    address.text = text;
    return address;
}

QString explainConnectFailure(QAbstractSocket::SocketError error, const QString& qtReason)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return langue::qt::tr(platform_texts::ConnexionRefusée);
    case QAbstractSocket::HostNotFoundError:
        return langue::qt::tr(platform_texts::HôteInconnu);
    case QAbstractSocket::SocketTimeoutError:
        return langue::qt::tr(platform_texts::HôteMuet).arg(DélaiConnexionMs / 1000);
    default:
        return langue::qt::tr(platform_texts::ConnexionImpossible).arg(qtReason);
    }
}

TcpSerialPort::TcpSerialPort(TcpAddress where, bool traceTraffic)
    : address(std::move(where))
    , trace(traceTraffic)
{
}

TcpSerialPort::~TcpSerialPort()
{
    // A socket still connected says so as it goes: nobody here is listening any more.
    if (socket)
        QObject::disconnect(socket.get(), nullptr, &guard, nullptr);
}

bool TcpSerialPort::isOpen() const
{
    return open && socket && socket->state() == QAbstractSocket::ConnectedState;
}

bool TcpSerialPort::setPortOpen(bool wanted)
{
    if (!wanted) {
        // After a loss the close is already on its way from the event loop.
        if (socket && !lost) {
            open = false;
            closeDrained();
            socket.reset();
        }
        return true;
    }
    if (isOpen())
        return true;
    if (address.port == 0) {
        failed(SELVANE_TR("platform", "port TCP invalide (de 1 à %1)").arg(PortMax));
        return false;
    }
    if (firstOpen) {
        // The program waits for this answer before it shows its window: wait for it, briefly.
        firstOpen = false;
        startAttempt();
        if (socket->waitForConnected(DélaiConnexionMs))
            return opened();
        failed(explainConnectFailure(socket->error(), socket->errorString()));
        socket.reset();
        return false;
    }
    // Later opens (after a loss, on each tick) never wait: an attempt goes on between two ticks
    // and the next one takes its outcome.
    if (!socket) {
        startAttempt();
        return false;
    }
    if (socket->state() == QAbstractSocket::ConnectedState)
        return opened();
    if (socket->state() == QAbstractSocket::UnconnectedState) {
        failed(explainConnectFailure(socket->error(), socket->errorString()));
        startAttempt();
    } else if (attemptClock.elapsed() >= DélaiConnexionMs) {
        failed(explainConnectFailure(QAbstractSocket::SocketTimeoutError, {}));
        startAttempt();
    }
    return false;
}

void TcpSerialPort::startAttempt()
{
    // A fresh socket each time: nothing of a broken connection carries over.
    socket = std::make_unique<QTcpSocket>();
    socket->setReadBufferSize(TamponRéceptionMax);
    socket->connectToHost(address.host, address.port);
    attemptClock.start();
}

bool TcpSerialPort::opened()
{
    // Each command goes out as it is written, not held back to be joined with the next.
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    QTcpSocket* connection = socket.get();
    QObject::connect(connection, &QAbstractSocket::errorOccurred, &guard,
        [this, connection](QAbstractSocket::SocketError) { markLost(connection->errorString()); });
    QObject::connect(socket.get(), &QAbstractSocket::disconnected, &guard,
        [this] { markLost(SELVANE_TR("platform", "l'hôte a fermé la connexion")); });
    lastReported.clear();
    open = true;
    lost = false;
    return true;
}

void TcpSerialPort::failed(const QString& why)
{
    reportOnce(lastReported, address.text, why);
}

void TcpSerialPort::markLost(const QString& why)
{
    if (!open || lost)
        return;
    lost = true;
    trace.note("liaison perdue", why);
    // Close from the event loop, not from inside the socket's own notification.
    QTimer::singleShot(0, &guard, [this] {
        open = false;
        if (socket) {
            closeDrained();
            socket.release()->deleteLater();
        }
        if (onLinkLost)
            onLinkLost();
    });
}

void TcpSerialPort::closeDrained()
{
    QObject::disconnect(socket.get(), nullptr, &guard, nullptr);
    // A plain abort would drop what Qt still holds, and a socket closed with unread input is
    // reset: a stop just written would be lost. A lost link waits once, at most the bound.
    viderAvantFermeture(*socket, static_cast<int>(socket->socketDescriptor()));
    socket->abort();
}

void TcpSerialPort::setInBufferCount(int count)
{
    if (count == 0 && isOpen())
        socket->readAll();
}

void TcpSerialPort::setOutput(const std::string& bytes)
{
    if (!isOpen() || lost)
        return;
    écrireTracé(*socket, trace, bytes);
}

std::string TcpSerialPort::input()
{
    if (!isOpen() || lost)
        return {};
    return lireTracé(*socket, trace, inputLen);
}

} // namespace platform::qt
