// SPDX-License-Identifier: GPL-3.0-or-later
// A yardstick for the pointing model: libindi's built-in alignment math (its default math plugin over an
// in-memory database, no telescope device) on the same stars and targets.
#pragma once

#include <string>
#include <vector>

#include "alignment/PointingModel.h"

namespace bench {

bool yardstickAvailable();
// Why there is no yardstick in this build.
std::string yardstickUnavailableReason();
// The places libindi would command for `goals` after syncing on `points`; false if it refused.
bool yardstickCommands(const std::vector<alignment::AlignmentPoint>& points,
    const std::vector<alignment::Place>& goals, std::vector<alignment::Place>& commands);

} // namespace bench
