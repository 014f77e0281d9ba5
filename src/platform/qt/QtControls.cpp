// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/QtControls.h"

#include <QTextBlock>
#include <QTextCursor>

namespace platform::qt {

namespace {
QString fromCrLf(const std::string& text)
{
    QString s = QString::fromStdString(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}
} // namespace

TypingLimit::TypingLimit(QLineEdit* edit, int typingLimit) : QValidator(edit), limit(typingLimit)
{
    lastLength = static_cast<int>(edit->text().size());
    QObject::connect(edit, &QLineEdit::textChanged, this,
                     [this](const QString& text) { lastLength = static_cast<int>(text.size()); });
}

QValidator::State TypingLimit::validate(QString& input, int&) const
{
    const int length = static_cast<int>(input.size());
    return length <= limit || length < lastLength ? Acceptable : Invalid;
}

void QtTextBox::setText(const std::string& text)
{
    // setText does not go through the validator, so a text longer than the typing limit stays whole.
    widget->setText(QString::fromStdString(text));
}

void QtTextBox::addLine(const std::string& line)
{
    widget->setText(QString::fromStdString(line) + QStringLiteral("\r\n") + widget->text());
}

std::string QtLogBox::text() const
{
    QString s = widget->toPlainText();
    s.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return s.toStdString();
}

void QtLogBox::setText(const std::string& text)
{
    widget->setPlainText(fromCrLf(text));
}

void QtLogBox::addLine(const std::string& line)
{
    // Insert at the top: the document's own structures make this cost the same on a night's log.
    QTextCursor cursor(widget->document());
    cursor.movePosition(QTextCursor::Start);
    cursor.insertText(fromCrLf(line) + QLatin1Char('\n'));
}

CheckState QtCheckBox::value() const
{
    switch (widget->checkState()) {
    case Qt::Checked:
        return CheckState::Checked;
    case Qt::PartiallyChecked:
        return CheckState::Grayed;
    default:
        return CheckState::Clear;
    }
}

void QtCheckBox::setValue(CheckState state)
{
    widget->setCheckState(state == CheckState::Checked ? Qt::Checked
                              : state == CheckState::Grayed ? Qt::PartiallyChecked
                                                            : Qt::Unchecked);
}

void QtTimer::setEnabled(bool enabled)
{
    isEnabled = enabled;
    if (!armed)
        return;
    if (enabled && !qtimer->isActive())
        qtimer->start();
    else if (!enabled)
        qtimer->stop();
}

void QtTimer::arm()
{
    armed = true;
    setEnabled(isEnabled);
}

} // namespace platform::qt
