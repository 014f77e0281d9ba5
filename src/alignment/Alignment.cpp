// SPDX-License-Identifier: GPL-3.0-or-later
// Adding, replacing and forgetting alignment stars.
#include "alignment/Alignment.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>

#include "alignment/texts.h"

namespace alignment {

Fit Alignment::add(const AlignmentPoint& point)
{
    if (!points_.empty()) {
        const double miss = separation(fit_.model.skyFromMount(point.commanded), point.observed);
        const double limit = std::max(kMinStarTolerance, kToleranceOverExpected * fit_.expectedWorst);
        if (miss > limit) {
            constexpr double degree = std::numbers::pi / 180.0;
            char text[256];
            std::snprintf(text, sizeof text, alignment_texts::MauvaiseÉtoile, miss / degree, limit / degree);
            Fit refused;
            refused.refusal = Refusal::WrongStar;
            refused.message = text;
            return refused;
        }
    }
    std::vector<AlignmentPoint> candidate;
    candidate.reserve(points_.size() + 1);
    for (const auto& kept : points_)
        if (separation(kept.observed, point.observed) >= kSamePlaceRadius)
            candidate.push_back(kept);
    candidate.push_back(point);
    while (candidate.size() > kMaxStars) {
        // The stars are in the order they came: of the closest pair, the first is the older.
        std::size_t older = 0;
        double closest = 4.0; // more than any angle
        for (std::size_t i = 0; i < candidate.size(); ++i)
            for (std::size_t j = i + 1; j < candidate.size(); ++j)
                if (const double d = separation(candidate[i].observed, candidate[j].observed); d < closest) {
                    closest = d;
                    older = i;
                }
        candidate.erase(candidate.begin() + static_cast<std::ptrdiff_t>(older));
    }
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
