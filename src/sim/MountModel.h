// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated mount: two axes kept as counts, moved by slews and manual moves, and the meaning of every
// command. Time is passed in by the caller (seconds on any monotonic scale), so a position is a function
// of the time asked about and nothing needs stepping.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sim {

// Rates in degrees per second of the axis.
struct Rates {
    double slew = 4.0;
    double sidereal = 0.0041781; // ":S#" and ":RS#": 15.04 arc seconds per second
    double centring = 0.1; // ":C#"
    double catchUp = 0.5; // ":G#"
    double fast = 3.0; // ":M#"
};

// Behaviour of the commands:
// - ":R#", ":D#": the position reply for the count at the time of the command.
// - ":r<text>#", ":d<text>#": the target; right ascension wrapped into one turn, declination clamped to the
//   poles (+-240000). A malformed text leaves the target unchanged.
// - ":i#": both axes take the target at once; any motion stops, a slew in progress ends without "Ok".
// - ":T#": both axes slew at the slew rate, each straight to its target, right ascension the shorter way
//   round (a half turn goes eastwards); the slew arrives when the slower axis does. A ":T#" during a
//   slew starts again from where the axes are.
// - ":RS#", ":S#", ":C#", ":G#", ":M#": the rate of the next manual move; a move in progress keeps its rate.
// - ":n#", ":s#": declination moves north (count up) or south; ":0#" ends a declination move.
// - ":e#": right ascension moves east (count up). ":w#" pairs with the ":e#" or ":w#" before it: after a
//   start it ends that move (also when the axis no longer moves, having been stopped by a sync or taken
//   over by a slew), otherwise it moves west. So a button pressed during a slew and released after it
//   starts nothing.
// - A direction command replaces the move of its axis. While a slew is in progress the axes do not obey
//   direction commands (a right ascension start or end still counts for the pairing). Declination stops
//   at the poles; right ascension wraps.
// - ":A#", ":a#": autoguiding flag on and off, no motion.
// - Anything else is ignored.
// Without commands the axes stand still: there is no tracking.
class MountModel {
public:
    explicit MountModel(Rates rates = {});

    // Interprets one frame ":...#" received at time t. Returns the reply to send, empty for none.
    // The slew-done reply is not sent from here: see finishSlew.
    std::string handle(std::string_view frame, double t);

    // Counts at time t: right ascension in 0 ... 1151999, declination in -240000 ... 240000.
    std::int64_t raCount(double t) const;
    std::int64_t decCount(double t) const;
    // Puts both axes there at once; stops every motion and drops a slew without its "Ok".
    void setPosition(std::int64_t ra, std::int64_t dec, double t);

    // What the initialisations have added to the counts since the start: the counts less the axes'
    // own angles (a ":i#" renames where the axes are, it does not move them).
    std::int64_t raSyncOffset() const { return raSyncOffset_; }
    std::int64_t decSyncOffset() const { return decSyncOffset_; }
    std::int64_t targetRa() const { return targetRa_; }
    std::int64_t targetDec() const { return targetDec_; }
    bool autoguiding() const { return autoguiding_; }
    bool raMoving(double t) const { return ra_.moving(t); }
    bool decMoving(double t) const { return dec_.moving(t); }

    bool slewing() const { return slewArrival_.has_value(); }
    std::optional<double> slewArrival() const { return slewArrival_; }
    // True once per slew, when it has arrived by time t; the caller then sends the slew-done reply.
    bool finishSlew(double t);

    void setSlewRate(double degPerSec) { rates_.slew = degPerSec; }
    const Rates& rates() const { return rates_; }
    double manualRate() const { return manualRate_; }

private:
    // One axis in counts: from `origin` at time t0 at `velocity` counts per second, until `end` if set (then
    // exactly at `endValue`), kept within [lower, upper].
    struct Axis {
        double origin = 0;
        double t0 = 0;
        double velocity = 0;
        std::optional<double> end;
        double endValue = 0;
        double lower = 0;
        double upper = 0;
        bool bounded = false;

        double position(double t) const;
        bool moving(double t) const;
        void hold(double t); // stop where it is at t
        void hold(double value, double t);
        void move(double countsPerSecond, double t);
        void travel(double to, double countsPerSecond, double t); // returns via `end`
    };

    void startSlew(double t);
    void startManual(Axis& axis, double sign, double countsPerDegree, double t);

    Rates rates_;
    double manualRate_;
    Axis ra_;
    Axis dec_;
    std::int64_t targetRa_ = 0;
    std::int64_t targetDec_ = 0;
    std::int64_t raSyncOffset_ = 0;
    std::int64_t decSyncOffset_ = 0;
    std::optional<double> slewArrival_;
    bool raMoveOpen_ = false; // a ":e#" or ":w#" started a move that no ":w#" has ended yet
    bool autoguiding_ = false;
};

} // namespace sim
