// SPDX-License-Identifier: GPL-3.0-or-later
// The controls the window talks to, as the window sees them: no toolkit here.
#pragma once

#include <string>
#include <string_view>

namespace platform {

class Label {
public:
    virtual ~Label() = default;
    virtual void setCaption(const std::string& caption) = 0;
    virtual std::string caption() const = 0;
};

// A text box. Lines in its text are separated by CR LF.
class TextBox {
public:
    virtual ~TextBox() = default;
    virtual std::string text() const = 0;
    // Sets the whole text, whatever its length: the typing limit limits typing only.
    virtual void setText(const std::string& text) = 0;
    // The text becomes line + CR LF + the previous text. Costs the same whatever the box holds.
    virtual void addLine(const std::string& line) = 0;
};

class CommandButton {
public:
    virtual ~CommandButton() = default;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool enabled() const = 0;
    virtual void setVisible(bool visible) = 0;
};

class OptionButton {
public:
    virtual ~OptionButton() = default;
    virtual bool value() const = 0;
    virtual void setValue(bool selected) = 0;
};

// Check box states as the window reads them.
enum class CheckState { Clear = 0, Checked = 1, Grayed = 2 };

class CheckBox {
public:
    virtual ~CheckBox() = default;
    virtual CheckState value() const = 0;
    virtual void setValue(CheckState state) = 0;
};

class Timer {
public:
    virtual ~Timer() = default;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool enabled() const = 0;
    virtual int interval() const = 0;
};

class SerialPort;

// Hands the window its controls by control name. Unknown names are a programming error.
class ControlSet {
public:
    virtual ~ControlSet() = default;
    virtual Label& label(std::string_view name) = 0;
    virtual TextBox& textBox(std::string_view name) = 0;
    virtual CommandButton& commandButton(std::string_view name) = 0;
    virtual OptionButton& optionButton(std::string_view name) = 0;
    virtual CheckBox& checkBox(std::string_view name) = 0;
    virtual Timer& timer(std::string_view name) = 0;
    virtual SerialPort& serialPort(std::string_view name) = 0;
};

} // namespace platform
