// SPDX-License-Identifier: GPL-3.0-or-later
// The alignment of one night: the stars centred so far and the model fitted to them.
#pragma once

#include <cstddef>
#include <numbers>
#include <vector>

#include "alignment/PointingModel.h"

namespace alignment {

// The stars kept at most: a long night of syncs keeps the latest of each part of the sky, so that the model
// follows the sky it describes rather than averages ever more stars of a few places.
inline constexpr std::size_t kMaxStars = 12;
// A star farther than this from where the model of the stars before it puts the telescope is not the star the
// user says: the larger of a degree and half as much again as the error the model expects.
inline constexpr double kMinStarTolerance = 1.0 * std::numbers::pi / 180.0;
inline constexpr double kToleranceOverExpected = 1.5;

class Alignment {
public:
    // Adds a star. One within kSamePlaceRadius of a kept star replaces it, so that a user refines by centring
    // again; beyond kMaxStars, the older of the two closest stars goes. A star too far from where the model
    // puts the telescope is refused (WrongStar). The star is kept only if the set with it can be fitted;
    // otherwise the stars and the model stay as they were. Returns the fit of the set with the star, refused
    // or not.
    Fit add(const AlignmentPoint& point);
    // Forgets every star: the model is the identity again.
    void clear();

    const std::vector<AlignmentPoint>& points() const { return points_; }
    std::size_t size() const { return points_.size(); }
    // The fit in use: of the kept stars, the identity without any.
    const Fit& fit() const { return fit_; }
    const PointingModel& model() const { return fit_.model; }

private:
    std::vector<AlignmentPoint> points_;
    Fit fit_;
};

} // namespace alignment
