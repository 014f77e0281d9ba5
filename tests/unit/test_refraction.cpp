// SPDX-License-Identifier: GPL-3.0-or-later
// Where a star is seen: the observed place against ERFA's own ICRS-to-observed transform at a few heights,
// the way back, and the standard atmosphere at a site's altitude.
#include <gtest/gtest.h>

#include <cmath>
#include <erfa.h>
#include <erfam.h>

#include "sky/catalogue.h"
#include "sky/dates.h"
#include "sky/refraction.h"
#include "sky/solar_system.h"

namespace {

constexpr double Arcseconde = 1.0 / 3600.0;
const sky::Lieu Lyon { 45.76, 4.84, 200.0 };
constexpr std::int64_t Instant = 1'765'000'000'000; // December 2025

} // namespace

TEST(Refraction, TheSeenPlaceIsErfasObservedPlaceAtEveryHeight)
{
    const sky::Atmosphère air { 10.0, 1010.0, 0.5 };
    const sky::Dates d = sky::dates(Instant);
    const double tsl = sky::tempsSidéralLocal(Instant, Lyon);
    // Stars on the celestial equator (heights 10° to 45°) and near the zenith, J2000 places chosen by hour
    // angle.
    for (auto [haDeg, decDeg] : { std::pair { 75.0, 0.0 }, { 60.0, 0.0 }, { 30.0, 0.0 }, { 0.0, 40.0 } }) {
        const double ra2000 = std::fmod(tsl - haDeg + 360.0, 360.0);
        const catalogue::Position duJour = catalogue::positionDuJour(ra2000, decDeg, 0, 0, Instant);
        const sky::Place vue = sky::placeVue({ duJour.ad, duJour.dec }, Instant, Lyon, air);

        double aob = 0, zob = 0, hob = 0, dob = 0, rob = 0, eo = 0;
        ASSERT_EQ(
            eraAtco13(ra2000 * ERFA_DD2R, decDeg * ERFA_DD2R, 0, 0, 0, 0, d.utc1, d.utc2, 0.0,
                Lyon.longitude * ERFA_DD2R, Lyon.latitude * ERFA_DD2R, Lyon.altitude, 0, 0, air.pressionHPa,
                air.températureC, air.humidité, 0.55, &aob, &zob, &hob, &dob, &rob, &eo),
            0);
        const sky::Place erfa { eraAnp(rob - eo) * ERFA_DR2D, dob * ERFA_DR2D };
        EXPECT_LT(sky::séparation(vue, erfa), 0.05 * Arcseconde) << "height " << 90 - zob * ERFA_DR2D;
        // The refraction is there: about 58″ tan z (1′ at 45° of height, 5′ at 10°).
        const double attendue = 58 * Arcseconde * std::tan(zob);
        EXPECT_NEAR(sky::séparation(vue, { duJour.ad, duJour.dec }), attendue, 0.2 * attendue);
        const sky::Place retour = sky::placeDuJourVue(vue, Instant, Lyon, air);
        EXPECT_LT(sky::séparation(retour, { duJour.ad, duJour.dec }), 0.05 * Arcseconde);
    }
}

TEST(Refraction, TheStandardAtmosphereThinsWithAltitude)
{
    const sky::Atmosphère mer = sky::atmosphèreStandard(0);
    EXPECT_DOUBLE_EQ(mer.températureC, 15.0);
    EXPECT_DOUBLE_EQ(mer.pressionHPa, 1013.25);
    const sky::Atmosphère montagne = sky::atmosphèreStandard(2000);
    EXPECT_NEAR(montagne.températureC, 2.0, 1e-9);
    EXPECT_NEAR(montagne.pressionHPa, 795.0, 1.0);
}
