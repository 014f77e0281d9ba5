// SPDX-License-Identifier: GPL-3.0-or-later
// The serial control over QSerialPort: one character per read that never blocks, whole-text
// writes that return at once, and a lost device reported once.
#pragma once

#include <QSerialPort>
#include <functional>
#include <memory>
#include <QStringList>

#include "platform/SerialPort.h"
#include "platform/qt/LineTrace.h"

namespace platform::qt {

// Why a device could not be opened, in plain words: missing, not allowed (naming the group that
// owns it), or held by another program.
QString explainOpenFailure(const QString& device, const QString& qtReason);

class QtSerialPort : public SerialPort {
public:
    // device: the device to use for port 1 (empty: the platform's COM1). trace: log the traffic
    // on standard error.
    explicit QtSerialPort(QString device = {}, bool trace = false);
    ~QtSerialPort() override;

    void setCommPort(int number) override { portNumber = number; }
    int commPort() const override { return portNumber; }
    std::string portName() const override;
    void setSettings(const std::string& settings) override;
    bool setPortOpen(bool open) override;
    bool portOpen() const override { return isOpen(); }
    int inBufferCount() const override { return isOpen() ? static_cast<int>(port->bytesAvailable()) : 0; }
    void setInBufferCount(int count) override;
    void setInputLen(int length) override { inputLen = length; }
    void setOutput(const std::string& bytes) override;
    std::string input() override;
    bool linkLost() const override { return lost; }

    // The device behind the port number.
    QString deviceName() const;

private:
    bool isOpen() const;
    void applySettings();
    void onError(QSerialPort::SerialPortError error);
    void closeDrained();

    QObject guard; // owns deferred calls, so none runs after this port is gone
    std::unique_ptr<QSerialPort> port;
    QStringList settings;
    QString lastReported;
    QString device;
    LineTrace trace;
    int portNumber = 1;
    int inputLen = 0;
    bool lost = false;
};

} // namespace platform::qt
