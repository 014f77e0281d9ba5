// SPDX-License-Identifier: GPL-3.0-or-later
// Adding, replacing and forgetting alignment stars.
#include "alignment/Alignment.h"

namespace alignment {

Fit Alignment::add(const AlignmentPoint& point)
{
    std::vector<AlignmentPoint> candidate;
    candidate.reserve(points_.size() + 1);
    for (const auto& kept : points_)
        if (separation(kept.observed, point.observed) >= kSamePlaceRadius)
            candidate.push_back(kept);
    candidate.push_back(point);
    Fit fit = fitModel(candidate);
    if (fit.ok()) {
        points_ = std::move(candidate);
        fit_ = fit;
    }
    return fit;
}

void Alignment::clear()
{
    points_.clear();
    fit_ = Fit {};
}

} // namespace alignment
