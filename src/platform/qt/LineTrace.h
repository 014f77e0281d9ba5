// SPDX-License-Identifier: GPL-3.0-or-later
// The --trace output of a line to the controller: each write, and the characters read since the
// last write shown together once a reply is whole, time-stamped on standard error.
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <algorithm>
#include <string>

#include "protocol/drain.h"

namespace platform::qt {

class LineTrace {
public:
    explicit LineTrace(bool enabled);

    // Bytes handed to the line (after whatever was read before them).
    void written(const QByteArray& bytes);
    // Bytes taken from the line; shown when a reply ends or enough has gathered.
    void read(const QByteArray& bytes);
    // A line of its own about the link ("liaison perdue: …").
    void note(const char* what, const QString& detail);

private:
    void flush();
    void show(const char* direction, const QByteArray& bytes, qint64 atMs);

    bool on;
    QElapsedTimer clock;
    QByteArray pending;
    qint64 pendingStart = 0;
};

// A line that cannot be opened, on standard error: said once per reason, since a line that stays
// away is retried on every tick. lastReported keeps the reason last said.
void reportOnce(QString& lastReported, const QString& line, const QString& why);

// The serial device and the socket alike: a command goes out whole, handed to the device now
// rather than at the next turn of the event loop, and the trace sees it.
template <class Device> void écrireTracé(Device& device, LineTrace& trace, const std::string& bytes)
{
    const QByteArray data(bytes.data(), static_cast<qsizetype>(bytes.size()));
    trace.written(data);
    device.write(data);
    device.flush();
}

// Before a close: what Qt still holds goes to the system, then the system's own queue drains
// (a socket's is acknowledged), both within the protocol's bound, so that a stop just written is
// not thrown away and a line held by flow control or a peer that reads nothing cannot hold the
// program. fd: the device's descriptor.
template <class Device> void viderAvantFermeture(Device& device, int fd)
{
    QElapsedTimer clock;
    clock.start();
    auto left = [&] { return static_cast<int>(std::max<qint64>(0, protocol::VidageMaxMs - clock.elapsed())); };
    while (device.bytesToWrite() > 0 && left() > 0 && device.waitForBytesWritten(left())) { }
    protocol::drainOutput(fd, left());
}

// At most `most` characters of what is waiting (all of it when most is 0), seen by the trace.
template <class Device> std::string lireTracé(Device& device, LineTrace& trace, qint64 most)
{
    if (device.bytesAvailable() <= 0)
        return {};
    const QByteArray data = device.read(most > 0 ? most : device.bytesAvailable());
    trace.read(data);
    return std::string(data.constData(), static_cast<std::size_t>(data.size()));
}

} // namespace platform::qt
