#include "platform/qt/QtSerialPort.h"

#include <QFileInfo>
#include <QStringList>
#include <cstdio>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::qt {

QString explainOpenFailure(const QString& device, const QString& qtReason)
{
    const QByteArray path = device.toLocal8Bit();
    struct stat info {};
    if (::stat(path.constData(), &info) != 0)
        return QString::fromUtf8("aucun périphérique de ce nom (branché ? voir selvane --list-ports)");
    if (::access(path.constData(), R_OK | W_OK) != 0) {
        const struct group* owner = ::getgrgid(info.st_gid);
        const QString group = owner ? QString::fromLocal8Bit(owner->gr_name) : QString::number(info.st_gid);
        return QString::fromUtf8("accès refusé : l'utilisateur doit appartenir au groupe « %1 » propriétaire du "
                                 "périphérique (sudo usermod -aG %1 $USER, puis se reconnecter)")
            .arg(group);
    }
    return QString::fromUtf8("déjà utilisé par un autre programme (%1)").arg(qtReason);
}

QtSerialPort::QtSerialPort(QString deviceOverride, bool traceTraffic)
    : device(std::move(deviceOverride)), trace(traceTraffic)
{
    clock.start();
    QObject::connect(&port, &QSerialPort::errorOccurred, [this](QSerialPort::SerialPortError e) { onError(e); });
}

QString QtSerialPort::deviceName() const
{
    if (!device.isEmpty())
        return device;
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(portNumber);
#else
    return QStringLiteral("/dev/ttyS%1").arg(portNumber - 1);
#endif
}

std::string QtSerialPort::portName() const
{
    if (!device.isEmpty())
        return device.toStdString();
    return "COM" + std::to_string(portNumber);
}

void QtSerialPort::setSettings(const std::string& settings)
{
    const QStringList parts = QString::fromStdString(settings).split(QLatin1Char(','));
    if (parts.size() != 4)
        return;
    port.setBaudRate(parts[0].toInt());
    const QString parity = parts[1].toUpper();
    port.setParity(parity == QLatin1String("E") ? QSerialPort::EvenParity
                       : parity == QLatin1String("O") ? QSerialPort::OddParity
                                                      : QSerialPort::NoParity);
    port.setDataBits(static_cast<QSerialPort::DataBits>(parts[2].toInt()));
    port.setStopBits(parts[3] == QLatin1String("2") ? QSerialPort::TwoStop : QSerialPort::OneStop);
}

bool QtSerialPort::setPortOpen(bool open)
{
    if (!open) {
        if (port.isOpen())
            port.close();
        return true;
    }
    if (port.isOpen())
        return true;
    port.setPortName(deviceName());
    failure.clear();
    if (!port.open(QIODevice::ReadWrite)) {
        failure = explainOpenFailure(deviceName(), port.errorString());
        std::fprintf(stderr, "selvane: %s: %s\n", deviceName().toLocal8Bit().constData(),
                     failure.toLocal8Bit().constData());
        return false;
    }
    lost = false;
    return true;
}

void QtSerialPort::setInBufferCount(int count)
{
    if (count == 0 && port.isOpen())
        port.clear(QSerialPort::Input);
}

void QtSerialPort::setOutput(const std::string& bytes)
{
    if (!port.isOpen() || lost)
        return;
    const QByteArray data(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (trace) {
        flushTrace();
        traceBytes("->", data);
    }
    port.write(data);
    // Hand the bytes to the device now rather than at the next turn of the event loop.
    port.flush();
}

std::string QtSerialPort::input()
{
    if (!port.isOpen() || lost || port.bytesAvailable() <= 0)
        return {};
    const qint64 most = inputLen > 0 ? inputLen : port.bytesAvailable();
    const QByteArray data = port.read(most);
    if (trace) {
        if (readTrace.isEmpty())
            readTraceStart = clock.elapsed();
        readTrace += data;
        // A reply ends with "#", a slew with "Ok": show it whole, as it came.
        if (readTrace.endsWith('#') || readTrace.endsWith("Ok") || readTrace.size() >= 80)
            flushTrace();
    }
    return std::string(data.constData(), static_cast<std::size_t>(data.size()));
}

void QtSerialPort::onError(QSerialPort::SerialPortError error)
{
    // A vanished device (USB adapter pulled, far end closed) comes as a stream of these: stop at
    // the first one.
    if ((error == QSerialPort::ResourceError || error == QSerialPort::ReadError) && port.isOpen() && !lost) {
        lost = true;
        port.close();
        if (trace)
            std::fprintf(stderr, "[%10.3f] liaison perdue: %s\n", clock.elapsed() / 1000.0,
                         port.errorString().toLocal8Bit().constData());
    }
}

void QtSerialPort::flushTrace()
{
    // Reads come one character at a time: show them together, once nothing more is waiting.
    if (!readTrace.isEmpty())
        traceBytes("<-", readTrace, readTraceStart);
    readTrace.clear();
}

void QtSerialPort::traceBytes(const char* direction, const QByteArray& bytes, qint64 atMs)
{
    QByteArray shown;
    for (char c : bytes) {
        if (c >= 0x20 && c < 0x7f)
            shown += c;
        else
            shown += QByteArray("\\x") + QByteArray::number(static_cast<unsigned char>(c), 16).rightJustified(2, '0');
    }
    std::fprintf(stderr, "[%10.3f] %s %s\n", (atMs < 0 ? clock.elapsed() : atMs) / 1000.0, direction,
                 shown.constData());
}

} // namespace platform::qt
