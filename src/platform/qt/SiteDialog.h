// SPDX-License-Identifier: GPL-3.0-or-later
// "Lieu d'observation…": sets or clears the observing site for a user who starts the program from
// the desktop's launcher. The text is read as --lieu reads it, with the same refusals: a site
// that does not read keeps the dialog open and says why.
#pragma once

#include <QDialog>
#include <optional>

#include "settings/Settings.h"

class QLabel;
class QLineEdit;

namespace platform::qt {

class SiteDialog : public QDialog {
    Q_OBJECT
public:
    SiteDialog(const std::optional<sky::Lieu>& current, QWidget* parent = nullptr);
    // What the user chose, once accepted: a site, or none.
    std::optional<sky::Lieu> chosen() const { return choice; }

    void accept() override;

private:
    QLineEdit* field;
    QLabel* refusal;
    std::optional<sky::Lieu> choice;
};

} // namespace platform::qt
