// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/QtSerialPort.h"
#include "langue/qt/LangueQt.h"
#include "platform/line_texts.h"

#include <QFileInfo>
#include <QTimer>
#include <QStringList>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>


namespace platform::qt {

QString explainOpenFailure(const QString& device, const QString& qtReason)
{
    const QByteArray path = device.toLocal8Bit();
    struct stat info {};
    if (::stat(path.constData(), &info) != 0)
        return SELVANE_TR("platform", "aucun périphérique de ce nom (branché ? voir selvane --list-ports)");
    if (::access(path.constData(), R_OK | W_OK) != 0) {
        const struct group* owner = ::getgrgid(info.st_gid);
        const QString group = owner ? QString::fromLocal8Bit(owner->gr_name) : QString::number(info.st_gid);
        return langue::qt::tr(platform_texts::AccèsRefusé).arg(group);
    }
    // Qt keeps a lock file per device; one left behind by a program that was killed looks the same.
    if (qtReason.contains(QLatin1String("lock"), Qt::CaseInsensitive))
        return SELVANE_TR("platform",
            "déjà utilisé par un autre programme (%1 ; si aucun ne tourne, un fichier "
            "LCK.. resté dans /run/lock peut être supprimé)")
            .arg(qtReason);
    return langue::qt::tr(platform_texts::DéjàUtilisé).arg(qtReason);
}

QtSerialPort::QtSerialPort(QString deviceOverride, bool traceTraffic)
    : device(std::move(deviceOverride)), trace(traceTraffic)
{
}

QtSerialPort::~QtSerialPort() = default;

bool QtSerialPort::isOpen() const
{
    return port && port->isOpen();
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

void QtSerialPort::setSettings(const std::string& text)
{
    settings = QString::fromStdString(text).split(QLatin1Char(','));
    if (isOpen())
        applySettings();
}

void QtSerialPort::applySettings()
{
    if (settings.size() != 4)
        return;
    port->setBaudRate(settings[0].toInt());
    const QString parity = settings[1].toUpper();
    port->setParity(parity == QLatin1String("E") ? QSerialPort::EvenParity
                        : parity == QLatin1String("O") ? QSerialPort::OddParity
                                                       : QSerialPort::NoParity);
    port->setDataBits(static_cast<QSerialPort::DataBits>(settings[2].toInt()));
    port->setStopBits(settings[3] == QLatin1String("2") ? QSerialPort::TwoStop : QSerialPort::OneStop);
}

bool QtSerialPort::setPortOpen(bool open)
{
    if (!open) {
        // After a loss the close is already on its way from the event loop.
        if (isOpen() && !lost)
            closeDrained();
        return true;
    }
    if (isOpen())
        return true;
    // A fresh port object each time: nothing of a vanished device carries over.
    port = std::make_unique<QSerialPort>();
    QObject::connect(port.get(), &QSerialPort::errorOccurred, &guard,
                     [this](QSerialPort::SerialPortError e) { onError(e); });
    port->setPortName(deviceName());
    applySettings(); // taken by the device when it opens
    port->setReadBufferSize(TamponRéceptionMax);
    if (!port->open(QIODevice::ReadWrite)) {
        reportOnce(lastReported, deviceName(), explainOpenFailure(deviceName(), port->errorString()));
        port.reset();
        return false;
    }
    lastReported.clear();
    lost = false;
    return true;
}

void QtSerialPort::closeDrained()
{
    viderAvantFermeture(*port, static_cast<int>(port->handle()));
    port->close();
}

void QtSerialPort::setInBufferCount(int count)
{
    if (count == 0 && isOpen())
        port->clear(QSerialPort::Input);
}

void QtSerialPort::setOutput(const std::string& bytes)
{
    if (!isOpen() || lost)
        return;
    écrireTracé(*port, trace, bytes);
}

std::string QtSerialPort::input()
{
    if (!isOpen() || lost)
        return {};
    return lireTracé(*port, trace, inputLen);
}

void QtSerialPort::onError(QSerialPort::SerialPortError error)
{
    // A vanished device (USB adapter pulled, far end closed) comes as a stream of these: act on
    // the first one only.
    if (error != QSerialPort::NoError)
        trace.note(
            "erreur du port", QStringLiteral("%1 %2").arg(static_cast<int>(error)).arg(port->errorString()));
    const bool vanished = error == QSerialPort::ResourceError || error == QSerialPort::ReadError
        || error == QSerialPort::WriteError;
    if (!vanished || !isOpen() || lost)
        return;
    lost = true;
    trace.note("liaison perdue", port->errorString());
    // Close from the event loop, not from inside the port's own notification.
    QTimer::singleShot(0, &guard, [this] {
        if (port && port->isOpen())
            closeDrained();
        port.reset();
        if (onLinkLost)
            onLinkLost();
    });
}

} // namespace platform::qt
