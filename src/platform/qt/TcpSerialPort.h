// SPDX-License-Identifier: GPL-3.0-or-later
// The serial control over a TCP connection, for a controller behind a serial-to-network bridge
// (ser2net in raw mode, a WiFi serial adapter): the same operations as on a local device.
#pragma once

#include <QAbstractSocket>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <memory>
#include <optional>

#include "platform/SerialPort.h"
#include "platform/qt/LineTrace.h"

namespace platform::qt {

// Where a bridge listens. port is 0 when the text named one outside 1–65535.
struct TcpAddress {
    QString host;
    quint16 port = 0;
    // As the user wrote it: "telescope-pi:2000", "[::1]:2000".
    QString text;
};

// The address in a --port text: HOST:PORT with a numeric port, or [IPv6]:PORT. A device path
// (starting with "/", or COMn) and anything else is not one.
std::optional<TcpAddress> tcpAddress(const QString& text);

// Why a connection could not be made, in plain words.
QString explainConnectFailure(QAbstractSocket::SocketError error, const QString& qtReason);

class TcpSerialPort : public SerialPort {
public:
    explicit TcpSerialPort(TcpAddress address, bool trace = false);
    ~TcpSerialPort() override;

    void setCommPort(int number) override { portNumber = number; }
    int commPort() const override { return portNumber; }
    std::string portName() const override { return address.text.toStdString(); }
    // The bridge sets the serial line itself: the settings are not sent.
    void setSettings(const std::string&) override { }
    bool setPortOpen(bool open) override;
    bool portOpen() const override { return isOpen(); }
    int inBufferCount() const override { return isOpen() ? static_cast<int>(socket->bytesAvailable()) : 0; }
    void setInBufferCount(int count) override;
    void setInputLen(int length) override { inputLen = length; }
    void setOutput(const std::string& bytes) override;
    std::string input() override;
    bool linkLost() const override { return lost; }

private:
    bool isOpen() const;
    void startAttempt();
    bool opened();
    void failed(const QString& why);
    void markLost(const QString& why);
    // Hands what was written over to the peer (bounded), then closes the connection.
    void closeDrained();

    QObject guard; // owns deferred calls, so none runs after this port is gone
    TcpAddress address;
    std::unique_ptr<QTcpSocket> socket;
    LineTrace trace;
    QString lastReported;
    QElapsedTimer attemptClock;
    bool firstOpen = true;
    int portNumber = 1;
    int inputLen = 0;
    bool open = false;
    bool lost = false;
};

} // namespace platform::qt
