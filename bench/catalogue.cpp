// SPDX-License-Identifier: GPL-3.0-or-later
// The catalogue: from a keystroke in "Objet :" to its list of matches shown (and painted), with
// the whole table; the table's size on disk and in memory and the time to read and index it, in
// this fresh process; and what the row of the window that holds it adds to start-up.
#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QDateTime>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStringListModel>
#include <cstdio>
#include <cstring>

#include "common.h"
#include "modes.h"
#include "sky/catalogue.h"
#include "sky/solar_system.h"
#include "sky/table.h"

namespace bench {

namespace {

std::string ms(double seconds)
{
    return fixed(seconds * 1000, 2) + " ms";
}

void press(QWidget* w, int key, const QString& text)
{
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &up);
}

// One keystroke typed into the field, timed until its list is shown and painted.
double keystroke(QLineEdit* field, QAbstractItemView* list, QChar c)
{
    const double t0 = now();
    press(field, c == u' ' ? Qt::Key_Space : Qt::Key_A, QString(c));
    settle();
    const double t = now() - t0;
    if (!list->isVisible())
        fail("no list shown after typing " + field->text().toStdString());
    return t;
}

} // namespace

int runCatalogue(const Sizes& sizes)
{
    // The table read and indexed before the window starts it on its own thread, to be measured.
    const long rss0 = vmRssKb();
    const double t0 = now();
    catalogue::préparer();
    const std::size_t objects = catalogue::objets().size();
    const double tableCost = now() - t0;
    const long tableKb = vmRssKb() - rss0;

    SimChild sim(SimSettings {});
    const double w0 = now();
    Window w(sim.device());
    w.start();
    settle();
    const double windowCost = now() - w0;
    w.form.Timerconsult.setEnabled(false);

    // What the window builds for "Objet :", once more, now that the toolkit is warm.
    const double r0 = now();
    {
        QWidget row;
        auto* label = new QLabel(QStringLiteral("Objet :"), &row);
        auto* field = new QLineEdit(&row);
        auto* completer = new QCompleter(new QStringListModel(&row), &row);
        completer->setWidget(field);
        completer->popup();
        (void)label;
    }
    const double rowCost = now() - r0;

    auto* field = w.window.findChild<QLineEdit*>(QStringLiteral("EdtObjet"));
    auto* completer = w.window.findChild<QCompleter*>();
    if (!field || !completer)
        fail("no \"Objet :\" field");
    QAbstractItemView* list = completer->popup();
    field->setFocus();

    // The first list shown makes its window.
    const double first = keystroke(field, list, u'm');

    // Names whose first letters match thousands of keys ("n", "h", "b"), numbers, Greek letters.
    const QString typed[]
        = { QStringLiteral("ngc 1"), QStringLiteral("hd 88"), QStringLiteral("beta c"), QStringLiteral("m 3"),
              QStringLiteral("c 14"), QString::fromUtf8("β cyg"), QStringLiteral("rosette") };
    std::vector<double> times;
    const int rounds = sizes.smoke ? 2 : 40;
    for (int r = 0; r < rounds; ++r) {
        for (const QString& name : typed) {
            list->hide();
            field->clear();
            settle();
            for (QChar c : name)
                times.push_back(keystroke(field, list, c));
        }
    }
    list->hide();

    const double median = bench::median(times);
    const double p99 = percentile(times, 99);
    row("Catalogue: keystroke to list shown, median of " + grouped(static_cast<long long>(times.size()))
            + " (" + grouped(static_cast<long long>(objects)) + " objects)",
        ms(median), "<= 5 ms", verdict(median <= 0.005));
    row("Catalogue: keystroke to list shown, 99th percentile", ms(p99), "<= 10 ms", verdict(p99 <= 0.010));
    row("Catalogue: first keystroke of a run (the list's window made)", ms(first), "(report)");
    row("Catalogue: start-up of the window (built, loaded, shown)", ms(windowCost), "(report)");
    row("Catalogue: table read and indexed (on its own thread from the window's start)", ms(tableCost),
        "(report)");
    row("Catalogue: table on disk (data/catalogue.tsv, compiled in)",
        fixed(static_cast<double>(std::strlen(catalogue::texteTable)) / (1024.0 * 1024.0), 1) + " MB",
        "(report)");
    row("Catalogue: table in memory (objects and index, resident)", fixed(tableKb / 1024.0, 1) + " MB",
        "(report)");
    row("Catalogue: start-up added by the \"Objet :\" row", ms(rowCost), "<= 20 ms",
        verdict(rowCost <= 0.020));

    // The nine solar-system bodies placed from a site (the heavier case), at successive moments:
    // all at once, sharing the observer's parameters, and one after the other, as nine choices in
    // "Objet :" would.
    const sky::Lieu site { 45.76, 4.84, 200 };
    std::vector<double> together, apart;
    const std::int64_t start = QDateTime::currentMSecsSinceEpoch();
    for (int r = 0; r < (sizes.smoke ? 5 : 500); ++r) {
        const double p0 = now();
        sky::placesApparentes(start + r * 1000, site);
        const double p1 = now();
        for (const auto& body : sky::corpsDuSystèmeSolaire())
            sky::placeApparente(body.corps, start + r * 1000, site);
        together.push_back(p1 - p0);
        apart.push_back(now() - p1);
    }
    const double nine = bench::median(together);
    row("Catalogue: the nine solar-system bodies placed (ERFA), median of "
            + grouped(static_cast<long long>(together.size())),
        ms(nine), "<= 2 ms", verdict(nine <= 0.002));
    row("Catalogue: the same, one body at a time (nine choices)", ms(bench::median(apart)), "(report)");
    return 0;
}

} // namespace bench
