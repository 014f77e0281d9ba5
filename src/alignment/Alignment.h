// SPDX-License-Identifier: GPL-3.0-or-later
// The alignment of one night: the stars centred so far and the model fitted to them.
#pragma once

#include <cstddef>
#include <vector>

#include "alignment/PointingModel.h"

namespace alignment {

class Alignment {
public:
    // Adds a star. One within kSamePlaceRadius of a kept star replaces it, so that a user refines by centring
    // again. The star is kept only if the set with it can be fitted; otherwise the stars and the model stay
    // as they were. Returns the fit of the set with the star, refused or not.
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
