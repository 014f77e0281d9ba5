// SPDX-License-Identifier: GPL-3.0-or-later
// The --trace output of a line to the controller: each write, and the characters read since the
// last write shown together once a reply is whole, time-stamped on standard error.
#pragma once

#include <QByteArray>
#include <QElapsedTimer>

namespace platform::qt {

class LineTrace {
public:
    explicit LineTrace(bool enabled);

    bool enabled() const { return on; }
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

} // namespace platform::qt
