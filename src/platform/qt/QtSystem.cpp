// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/QtSystem.h"
#include "langue/qt/LangueQt.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QLocale>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTime>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

namespace platform::qt {

namespace {
Answer askOkCancelBox(QWidget* window, QMessageBox::Icon icon, QMessageBox::StandardButton byDefault,
    const std::string& text, const std::string& title)
{
    QMessageBox box(icon, QString::fromStdString(title), QString::fromStdString(text),
        QMessageBox::Ok | QMessageBox::Cancel, window);
    box.button(QMessageBox::Ok)->setText(SELVANE_TR("window", "OK"));
    box.button(QMessageBox::Cancel)->setText(SELVANE_TR("window", "Annuler"));
    box.setDefaultButton(byDefault);
    if (byDefault == QMessageBox::Cancel)
        box.setEscapeButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok ? Answer::Ok : Answer::Cancel;
}
} // namespace

QtSystem::QtSystem()
{
    clock.start();
    wake.setSingleShot(true);
}

void QtSystem::beep()
{
    QApplication::beep();
}

void QtSystem::messageBox(const std::string& text, const std::string& title)
{
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title), QString::fromStdString(text),
        QMessageBox::Ok, window);
    box.exec();
}

Answer QtSystem::askOkCancel(const std::string& text, const std::string& title)
{
    return askOkCancelBox(window, QMessageBox::NoIcon, QMessageBox::Ok, text, title);
}

// A warning's safe answer is the default: Enter and Escape both cancel.
Answer QtSystem::askOkCancelWarning(const std::string& text, const std::string& title)
{
    return askOkCancelBox(window, QMessageBox::Warning, QMessageBox::Cancel, text, title);
}

void QtSystem::information(const std::string& text, const std::string& title)
{
    QMessageBox box(QMessageBox::Information, QString::fromStdString(title), QString::fromStdString(text),
        QMessageBox::Ok, window);
    box.exec();
}

void QtSystem::doEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtSystem::waitForEvents(std::int64_t deadlineMs)
{
    const std::int64_t remaining = deadlineMs - monotonicMs();
    if (remaining <= 0)
        return;
    wake.start(static_cast<int>(std::min<std::int64_t>(remaining, 24 * 3600 * 1000)));
    // Blocks until something happens: serial data, user input, a timer (ours included).
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    wake.stop();
}

void QtSystem::endNow(int status)
{
    std::fflush(nullptr);
    // Nothing more of the window may run: no unload handler, no tick, no resumed wait.
    std::_Exit(status);
}

void QtSystem::clearClipboard()
{
    QGuiApplication::clipboard()->clear();
}

std::string QtSystem::clipboardText()
{
    return QGuiApplication::clipboard()->text().toStdString();
}

bool QtSystem::clipboardHasText()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data != nullptr && data->hasText();
}

TimeOfDay QtSystem::localTime() const
{
    const QTime now = QTime::currentTime();
    return TimeOfDay { now.hour(), now.minute(), now.second() };
}

std::int64_t QtSystem::utcMs() const
{
    return QDateTime::currentMSecsSinceEpoch();
}

std::string QtSystem::decimalSeparator() const
{
    // English writes "0.8'" whatever the locale; French keeps the locale's own ("0,8'", or "0.8'" under C).
    if (const auto imposé = langue::séparateurDécimalImposé())
        return *imposé;
    return QLocale().decimalPoint().toStdString();
}

void QtSystem::showWindow()
{
    if (window)
        window->show();
}

} // namespace platform::qt
