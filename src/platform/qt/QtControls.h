// SPDX-License-Identifier: GPL-3.0-or-later
// The window's controls over Qt widgets.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QValidator>

#include "platform/Controls.h"

namespace platform::qt {

class QtLabel : public Label {
public:
    explicit QtLabel(QLabel* label) : widget(label) {}
    void setCaption(const std::string& caption) override { widget->setText(QString::fromStdString(caption)); }
    std::string caption() const override { return widget->text().toStdString(); }

private:
    QLabel* widget;
};

// Limits what the user types or pastes to a number of characters, while texts set by the
// program (spin steps, clipboard import) may be longer: a longer text can still be shortened.
class TypingLimit : public QValidator {
public:
    TypingLimit(QLineEdit* edit, int limit);
    State validate(QString& input, int& pos) const override;

private:
    int limit;
    int lastLength = 0;
};

class QtTextBox : public TextBox {
public:
    explicit QtTextBox(QLineEdit* edit) : widget(edit) {}
    std::string text() const override { return widget->text().toStdString(); }
    void setText(const std::string& text) override;
    void addLine(const std::string& line) override;

private:
    QLineEdit* widget;
};

// The multi-line log box. Qt keeps lines as blocks; the window sees them separated by CR LF.
class QtLogBox : public TextBox {
public:
    explicit QtLogBox(QPlainTextEdit* edit) : widget(edit) {}
    std::string text() const override;
    void setText(const std::string& text) override;
    void addLine(const std::string& line) override;

private:
    QPlainTextEdit* widget;
};

class QtCommandButton : public CommandButton {
public:
    explicit QtCommandButton(QAbstractButton* button) : widget(button) {}
    void setEnabled(bool enabled) override { widget->setEnabled(enabled); }
    bool enabled() const override { return widget->isEnabled(); }
    void setVisible(bool visible) override { widget->setVisible(visible); }

private:
    QAbstractButton* widget;
};

class QtOptionButton : public OptionButton {
public:
    explicit QtOptionButton(QRadioButton* button) : widget(button) {}
    bool value() const override { return widget->isChecked(); }
    void setValue(bool selected) override { widget->setChecked(selected); }

private:
    QRadioButton* widget;
};

class QtCheckBox : public CheckBox {
public:
    explicit QtCheckBox(QCheckBox* box) : widget(box) {}
    CheckState value() const override;
    void setValue(CheckState state) override;

private:
    QCheckBox* widget;
};

// A timer that only runs once the window is up: it is enabled from creation, but no tick may
// come before start-up has finished.
class QtTimer : public Timer {
public:
    explicit QtTimer(QTimer* timer) : qtimer(timer) {}
    void setEnabled(bool enabled) override;
    bool enabled() const override { return isEnabled; }
    int interval() const override { return qtimer->interval(); }
    void arm();

private:
    QTimer* qtimer;
    bool isEnabled = true;
    bool armed = false;
};

} // namespace platform::qt
