// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/SiteDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "langue/qt/LangueQt.h"
#include "settings/texts.h"

namespace platform::qt {

namespace {
// Wide enough for "-45.123456,-123.123456,1234".
constexpr int LargeurChamp = 280;
} // namespace

SiteDialog::SiteDialog(const std::optional<sky::Lieu>& current, QWidget* parent)
    : QDialog(parent)
    , field(new QLineEdit(this))
    , refusal(new QLabel(this))
{
    setObjectName(QStringLiteral("DlgLieu"));
    setWindowTitle(langue::qt::tr(settings_texts::TitreDialogue));
    auto* column = new QVBoxLayout(this);
    auto* explanation = new QLabel(langue::qt::tr(settings_texts::ExplicationDialogue), this);
    explanation->setWordWrap(true);
    column->addWidget(explanation);
    field->setObjectName(QStringLiteral("EdtLieu"));
    field->setMinimumWidth(LargeurChamp);
    if (current)
        field->setText(settings::texteLieu(*current));
    column->addWidget(field);
    refusal->setObjectName(QStringLiteral("LblRefusLieu"));
    refusal->setWordWrap(true);
    refusal->hide();
    column->addWidget(refusal);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(langue::qt::tr(settings_texts::Annuler));
    connect(buttons, &QDialogButtonBox::accepted, this, &SiteDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SiteDialog::reject);
    column->addWidget(buttons);
}

void SiteDialog::accept()
{
    const QString text = field->text();
    // An empty field clears the site, as "aucun" does.
    const settings::ChoixLieu read = text.trimmed().isEmpty()
        ? settings::ChoixLieu { settings::ChoixLieu::Sorte::Aucun, std::nullopt }
        : settings::lireChoixLieu(text);
    if (read.sorte == settings::ChoixLieu::Sorte::Invalide) {
        refusal->setText(langue::qt::tr(settings_texts::LieuInvalideDialogue).arg(text));
        refusal->show();
        adjustSize();
        QApplication::beep();
        field->setFocus();
        field->selectAll();
        return;
    }
    choice = read.lieu;
    QDialog::accept();
}

} // namespace platform::qt
