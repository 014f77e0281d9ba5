// SPDX-License-Identifier: GPL-3.0-or-later
// The pointing model of an equatorial mount: Wallace's six physical terms, the exact mapping between the
// place the mount believes it points at and the place on the sky, and the fit of the terms to alignment
// points.
//
// Angles are radians throughout. Places are local: hour angle (positive westwards) and declination, so the
// model needs no clock; the caller gives the local sidereal time of the moment each place is taken.
#pragma once

#include <numbers>
#include <span>
#include <string>
#include <vector>

namespace alignment {

struct Place {
    double ha = 0; // hour angle, radians, positive westwards
    double dec = 0; // declination, radians
};

// Wallace's terms, radians. To first order the mount's reading minus the sky place is
//   dH = -IH - CH sec d - NP tan d - MA cos h tan d + ME sin h tan d
//   dd = -ID + MA sin h + ME cos h
// IH, ID: index errors of the axes; CH: collimation (the tube not square to the declination axis); NP: the
// two axes not perpendicular; MA, ME: the polar axis off the pole, across the meridian and along it
// (positive ME: the axis too high). The mapping applies them exactly, as rotations.
struct Terms {
    double ih = 0;
    double id = 0;
    double ch = 0;
    double np = 0;
    double ma = 0;
    double me = 0;
};

// Which terms a fit determined; the others are zero.
enum class TermSet {
    Offset, // IH, ID: one point, a plain sync
    PolarAxis, // IH, ID, MA, ME: two points, or more that cannot separate CH and NP
    PolarAxisAndCollimation, // IH, ID, MA, ME, CH
    PolarAxisAndNonPerpendicularity, // IH, ID, MA, ME, NP
    Full, // all six
};

// The names of the terms of a set, as the log shows them: "IH ID MA ME".
const char* termNames(TermSet set);

class PointingModel {
public:
    PointingModel() = default; // no error: mount and sky agree
    explicit PointingModel(const Terms& terms)
        : terms_(terms)
    {
    }

    const Terms& terms() const { return terms_; }
    // Where the telescope points on the sky when the mount reads `mount`.
    Place skyFromMount(Place mount) const;
    // The place to command so that the telescope points at `sky` (Newton's iteration on skyFromMount).
    Place mountFromSky(Place sky) const;

private:
    Terms terms_;
};

// One star centred: where the mount believed it pointed, and where the star is.
struct AlignmentPoint {
    Place commanded;
    Place observed;
};

enum class Refusal {
    None,
    NoPoints,
    SamePlace, // two stars within kSamePlaceRadius of each other
    OneHourCircle, // the hour angles do not spread enough to separate the polar axis from the index errors
    IllConditioned, // the stars are too bunched for the terms their count calls for
    TermsTooLarge, // the solution is not a plausible mount
    NotConverged,
    WrongStar, // the star is too far from where the model of the stars before it puts the telescope
};

struct Fit {
    bool ok() const { return refusal == Refusal::None; }

    Refusal refusal = Refusal::None;
    std::string message; // why it was refused; empty when ok
    PointingModel model;
    TermSet termSet = TermSet::Offset;
    std::vector<double> residuals; // per point, on the sky, radians
    double rms = 0; // radians
    // The largest error a GOTO may expect, up to kTargetDecMax of declination, from stars centred within
    // kCentringError and the terms left out at their usual size; radians.
    double expectedWorst = 0;
};

// What the fit assumes of the stars: each centred within this (one sigma), radians.
inline constexpr double kCentringError = 0.5 / 60.0 * std::numbers::pi / 180.0;
// How far towards the pole the expected error is looked at, radians.
inline constexpr double kTargetDecMax = 85.0 * std::numbers::pi / 180.0;

// Two stars closer than this are one place (and in an Alignment the new one replaces the old one).
inline constexpr double kSamePlaceRadius = 5.0 * std::numbers::pi / 180.0;

// Fits the terms that the points determine: IH and ID from one point; from more, of IH ID, IH ID MA ME, and
// those with CH, NP or both, the set whose GOTOs may expect the smallest worst error (stars centred within
// kCentringError, terms left out at their usual size), no more terms than the points give numbers. First by
// linear least squares on the first-order formulas, then by Levenberg-Marquardt on the exact mapping.
Fit fitModel(std::span<const AlignmentPoint> points);

// Angle between two places, radians.
double separation(Place a, Place b);

// A right ascension and declination in degrees.
struct Equatorial {
    double raDeg = 0;
    double decDeg = 0;
};

// The local place of an equatorial one at local sidereal time lstDeg (degrees), and back (right ascension
// in [0, 360)).
Place localPlace(Equatorial place, double lstDeg);
Equatorial equatorialPlace(Place local, double lstDeg);

} // namespace alignment
