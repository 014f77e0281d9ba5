// SPDX-License-Identifier: GPL-3.0-or-later
// Waiting cost: CPU used while the window waits on the line, against the same wait as a plain
// poll loop. Two waits: a GOTO whose slew lasts the whole time, and position queries against a
// controller that never answers (each gives up after its time limit).
#include <QApplication>
#include <cmath>
#include <cstdio>

#include "common.h"
#include "modes.h"
#include "protocol/wire.h"

namespace bench {

namespace {

struct Cost {
    double cpu = 0;
    double wall = 0;
    double percent() const { return wall > 0 ? 100.0 * cpu / wall : 0; }
};

// A GOTO from 0h to 6h (a quarter turn of right ascension, declination unchanged) with the slew
// rate set so that the slew takes `seconds`.
Cost gotoWait(double seconds, bool poll)
{
    SimSettings settings;
    settings.slewDegPerSec = 90.0 / seconds;
    SimChild sim(settings);
    Window w(sim.device());
    w.system.poll = poll;
    w.start();
    w.form.Timerconsult.setEnabled(false);
    w.form.EdtADréfHrs.setText("06");
    w.form.EdtADréfMin.setText("00");
    w.form.EdtADréfSec.setText("00");
    w.form.EdtDECréfDeg.setText("+000");
    w.form.EdtDECréfMin.setText("00");
    w.form.EdtDECréfSec.setText("00");

    Cost cost;
    const double cpu0 = processCpu();
    const double t0 = now();
    w.form.BtnGOTO_Click();
    cost.wall = now() - t0;
    cost.cpu = processCpu() - cpu0;
    if (w.topLine().rfind("Cible R", 0) != 0)
        fail("the GOTO did not end as expected: \"" + w.topLine() + "\"");
    return cost;
}

// Queries against a silent controller, back to back, for about `seconds`.
Cost silentQueries(double seconds, bool poll)
{
    SimSettings settings;
    settings.silent = true;
    SimChild sim(settings);
    Window w(sim.device());
    w.system.poll = poll;
    w.start();
    w.form.Timerconsult.setEnabled(false);

    const double limit = static_cast<double>(protocol::DélaiRéponsePositionMs) / 1000.0;
    const int queries = std::max(1, static_cast<int>(std::lround(seconds / limit)));
    Cost cost;
    const double cpu0 = processCpu();
    const double t0 = now();
    for (int i = 0; i < queries; ++i)
        w.form.Timerconsult_Timer();
    cost.wall = now() - t0;
    cost.cpu = processCpu() - cpu0;
    if (w.topLine().find("pas de r") == std::string::npos)
        fail("the silent query did not time out as expected: \"" + w.topLine() + "\"");
    return cost;
}

// Seconds for a figure's name: "10", "0.5".
std::string secondsText(double s)
{
    return std::abs(s - std::round(s)) < 0.05 ? fixed(s, 0) : fixed(s, 1);
}

std::string describe(const Cost& c)
{
    return fixed(c.percent(), 3) + " % (" + fixed(c.cpu * 1000, 1) + " ms CPU in " + fixed(c.wall, 1) + " s)";
}

void report(const std::string& what, const Cost& sleeping, const Cost* polling)
{
    row("Waiting: " + what + ", CPU / wall", describe(sleeping), "<= 1 %", verdict(sleeping.percent() <= 1.0));
    if (polling == nullptr)
        return;
    row("Waiting: " + what + ", same wait as a plain poll loop", describe(*polling), "(comparison)");
    const double ratio = sleeping.cpu > 0 ? polling->cpu / sleeping.cpu : 0;
    row("Waiting: " + what + ", poll loop / program (CPU)", "x " + fixed(ratio, 0), "(comparison)");
}

} // namespace

int runWait(const Sizes& sizes)
{
    const double s = sizes.waitSeconds;
    std::fprintf(stderr, "wait: GOTO with a %.1f s slew, sleeping then polling\n", s);
    const Cost gotoSleep = gotoWait(s, false);
    const Cost gotoPoll = gotoWait(s, true);
    report("GOTO, " + secondsText(s) + " s slew", gotoSleep, &gotoPoll);

    // Each silent query lasts its full time limit: too long for a smoke run.
    if (sizes.smoke)
        return 0;
    std::fprintf(stderr, "wait: queries on a silent controller for %.1f s, sleeping then polling\n", s);
    const Cost silentSleep = silentQueries(s, false);
    const Cost silentPoll = silentQueries(s, true);
    report("query on a silent controller, " + secondsText(silentSleep.wall) + " s", silentSleep, &silentPoll);
    return 0;
}

} // namespace bench
