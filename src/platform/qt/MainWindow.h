// SPDX-License-Identifier: GPL-3.0-or-later
// The window "Selvane V2.2" built in code: every control named by its control name, laid out
// top to bottom, and each event wired to its handler of frmTKR52princ.
#pragma once

#include <QWidget>
#include <map>
#include <memory>
#include <string>

#include "platform/Controls.h"

class frmTKR52princ;
class QCompleter;
class QLineEdit;
class QStringListModel;
class QTimer;

namespace platform::qt {

class QtTimer;

class MainWindow : public QWidget, public ControlSet {
    Q_OBJECT
public:
    explicit MainWindow(SerialPort& port);
    ~MainWindow() override;

    Label& label(std::string_view name) override;
    TextBox& textBox(std::string_view name) override;
    CommandButton& commandButton(std::string_view name) override;
    OptionButton& optionButton(std::string_view name) override;
    CheckBox& checkBox(std::string_view name) override;
    Timer& timer(std::string_view name) override;
    SerialPort& serialPort(std::string_view name) override;

    // Sends every event of the window and its controls to the form's handlers.
    void connectTo(frmTKR52princ& form);
    // Lets the timer tick: called once start-up has finished.
    void armTimers();
    // "Lieu d'observation…" (Ctrl+Shift+L): sets or clears the form's site, and saves it.
    void openSiteDialog();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void build();
    template <class T>
    T& find(std::map<std::string, std::unique_ptr<T>, std::less<>>& controls, std::string_view name);

    SerialPort& port;
    frmTKR52princ* form = nullptr;
    QTimer* consultTimer = nullptr;
    QLineEdit* objectField = nullptr;
    QCompleter* objectCompleter = nullptr;
    QStringListModel* objectList = nullptr;
    std::map<std::string, std::unique_ptr<Label>, std::less<>> labels;
    std::map<std::string, std::unique_ptr<TextBox>, std::less<>> textBoxes;
    std::map<std::string, std::unique_ptr<CommandButton>, std::less<>> buttons;
    std::map<std::string, std::unique_ptr<OptionButton>, std::less<>> options;
    std::map<std::string, std::unique_ptr<CheckBox>, std::less<>> checkBoxes;
    std::map<std::string, std::unique_ptr<QtTimer>, std::less<>> timers;
};

} // namespace platform::qt
