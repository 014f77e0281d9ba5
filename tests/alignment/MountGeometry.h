// SPDX-License-Identifier: GPL-3.0-or-later
// Shared pieces of the pointing tests: angle units, a simulated mount's errors as the pointing model's
// terms, and the eyepiece that shows where such a mount truly points.
#pragma once

#include <numbers>

#include "alignment/PointingModel.h"
#include "sim/MountErrors.h"

namespace testsupport {

inline constexpr double kDeg = std::numbers::pi / 180.0;
inline constexpr double kArcmin = kDeg / 60.0;

// The simulator's errors (arc minutes) as the pointing model's terms (radians).
inline alignment::Terms termsOf(const sim::MountErrors& errors)
{
    return { errors.ihArcmin * kArcmin, errors.idArcmin * kArcmin, errors.chArcmin * kArcmin,
        errors.npArcmin * kArcmin, errors.maArcmin * kArcmin, errors.meArcmin * kArcmin };
}

// Where the telescope of a mount with these errors truly points when its axes read `mount`.
inline alignment::Place eyepiece(const sim::MountErrors& errors, alignment::Place mount)
{
    const sim::LocalPlace sky = sim::truePlace(errors, { mount.ha, mount.dec });
    return { sky.ha, sky.dec };
}

// With the mount's air: the place of the date of the star seen in the eyepiece when the axes read `mount`.
inline alignment::Place seenInEyepiece(const sim::MountErrors& errors, alignment::Place mount)
{
    const sim::LocalPlace seen = sim::seenPlace(errors, sim::truePlace(errors, { mount.ha, mount.dec }));
    return { seen.ha, seen.dec };
}

// The direction in which a star of the place of the date `star` is seen (the refraction undone by a few
// fixed-point steps: it changes by under a thousandth over its own size).
inline alignment::Place seenDirection(const sim::MountErrors& errors, alignment::Place star)
{
    alignment::Place direction = star;
    for (int step = 0; step < 6; ++step) {
        const sim::LocalPlace seen = sim::seenPlace(errors, { direction.ha, direction.dec });
        direction.ha += star.ha - seen.ha;
        direction.dec += star.dec - seen.dec;
    }
    return direction;
}

} // namespace testsupport
