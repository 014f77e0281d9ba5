// SPDX-License-Identifier: GPL-3.0-or-later
// The log box: time to add one line at the top of a box that holds a few lines and of one that
// holds a night's worth. The box keeps its size during the timing (the line at the bottom is
// taken away again, untimed).
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <cstdio>

#include "common.h"
#include "modes.h"

namespace bench {

namespace {

void dropBottomLine(QPlainTextEdit* log)
{
    QTextCursor cursor(log->document());
    cursor.movePosition(QTextCursor::End);
    cursor.movePosition(QTextCursor::PreviousBlock, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

struct LineCost {
    std::vector<double> add;     // the addLine call
    std::vector<double> repaint; // the events that follow it (layout and paint)
};

void timeAddition(Window& w, int i, LineCost& cost)
{
    const std::string line = i % 2 == 0 ? "AD : :+012,-01234#" : "DEC: :-001,+05678#";
    const double t0 = now();
    w.form.edtsaisie.addLine(line);
    const double t1 = now();
    settle();
    const double t2 = now();
    cost.add.push_back(t1 - t0);
    cost.repaint.push_back(t2 - t1);
    dropBottomLine(w.log());
    settle();
}

std::string us(double seconds)
{
    return fixed(seconds * 1e6, 1) + " us";
}

} // namespace

int runLogBox(const Sizes& sizes)
{
    SimChild bigSim(SimSettings{});
    Window big(bigSim.device());
    big.start();
    big.form.Timerconsult.setEnabled(false);
    std::fprintf(stderr, "logbox: filling a log box to %d lines\n", sizes.logBigLines);
    fillLog(big, sizes.logBigLines);

    SimChild smallSim(SimSettings{});
    Window small(smallSim.device());
    small.start();
    small.form.Timerconsult.setEnabled(false);
    std::string ten;
    for (int i = 0; i < 10; ++i)
        ten += (i % 2 == 0 ? "DEC: :+000,+00000#" : "AD : :+000,-32768#") + std::string("\r\n");
    small.form.edtsaisie.setText(ten);
    settle();

    const int smallLines = small.logLines();
    const int bigLines = big.logLines();
    std::fprintf(stderr, "logbox: %d additions on each box (%d and %d lines), alternating\n", sizes.logSamples,
                 smallLines, bigLines);
    LineCost smallCost;
    LineCost bigCost;
    for (int i = 0; i < sizes.logSamples; ++i) {
        if (i % 2 == 0) {
            timeAddition(small, i, smallCost);
            timeAddition(big, i, bigCost);
        } else {
            timeAddition(big, i, bigCost);
            timeAddition(small, i, smallCost);
        }
    }

    const double smallMedian = median(smallCost.add);
    const double bigMedian = median(bigCost.add);
    const double ratio = smallMedian > 0 ? bigMedian / smallMedian : 0;
    const std::string s = grouped(smallLines);
    const std::string b = grouped(bigLines);
    row("Log box: addLine on " + s + " lines, median of " + grouped(sizes.logSamples), us(smallMedian), "(base)");
    row("Log box: addLine on " + b + " lines, median", us(bigMedian), "same as on " + s + " lines");
    row("Log box: ratio " + b + " / " + s + " lines (addLine)", fixed(ratio, 2), "<= 1.5", verdict(ratio <= 1.5));
    row("Log box: repaint after a line, " + s + " / " + b + " lines",
        us(median(smallCost.repaint)) + " / " + us(median(bigCost.repaint)), "(report)");
    return 0;
}

} // namespace bench
