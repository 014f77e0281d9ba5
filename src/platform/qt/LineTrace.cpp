// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/LineTrace.h"

#include <QString>
#include <cstdio>

namespace platform::qt {

namespace {
// The longest run of read characters held back waiting for the end of a reply.
constexpr qsizetype LectureMaxAffichée = 80;
}

LineTrace::LineTrace(bool enabled)
    : on(enabled)
{
    clock.start();
}

void LineTrace::written(const QByteArray& bytes)
{
    if (!on)
        return;
    flush();
    show("->", bytes, clock.elapsed());
}

void LineTrace::read(const QByteArray& bytes)
{
    if (!on)
        return;
    if (pending.isEmpty())
        pendingStart = clock.elapsed();
    pending += bytes;
    // A reply ends with "#", a slew with "Ok": show it whole, as it came.
    if (pending.endsWith('#') || pending.endsWith("Ok") || pending.size() >= LectureMaxAffichée)
        flush();
}

void LineTrace::note(const char* what, const QString& detail)
{
    if (on)
        std::fprintf(
            stderr, "[%10.3f] %s: %s\n", clock.elapsed() / 1000.0, what, detail.toLocal8Bit().constData());
}

void LineTrace::flush()
{
    // Reads come one character at a time: show them together, once nothing more is waiting.
    if (!pending.isEmpty())
        show("<-", pending, pendingStart);
    pending.clear();
}

void LineTrace::show(const char* direction, const QByteArray& bytes, qint64 atMs)
{
    QByteArray shown;
    for (char c : bytes) {
        if (c >= 0x20 && c < 0x7f)
            shown += c;
        else
            shown += QByteArray("\\x")
                + QByteArray::number(static_cast<unsigned char>(c), 16).rightJustified(2, '0');
    }
    std::fprintf(stderr, "[%10.3f] %s %s\n", atMs / 1000.0, direction, shown.constData());
}

void reportOnce(QString& lastReported, const QString& line, const QString& why)
{
    if (why != lastReported)
        std::fprintf(
            stderr, "selvane: %s: %s\n", line.toLocal8Bit().constData(), why.toLocal8Bit().constData());
    lastReported = why;
}

} // namespace platform::qt
