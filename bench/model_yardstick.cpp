// SPDX-License-Identifier: GPL-3.0-or-later
// libindi's built-in alignment math, driven directly. For an equatorial mount it maps right ascension and
// declination vectors to the mount's direction vectors by one 3x3 matrix (1 to 3 syncs) or by the matrix of
// the facet of the sync points' convex hull that the target falls in (4 and more), with no clock involved.
// So the hour angles are handed over as right ascensions at sidereal time 0 (RA = -HA): the same frame for
// the stars, the targets and the mount.
#include "model_yardstick.h"

#ifdef SELVANE_BENCH_LIBINDI_ALIGNMENT
#include <cstdio>
#include <fcntl.h>
#include <libindi/alignment/BuiltInMathPlugin.h>
#include <libindi/alignment/InMemoryDatabase.h>
#include <unistd.h>
#endif

#include <cmath>
#include <numbers>

namespace bench {

#ifdef SELVANE_BENCH_LIBINDI_ALIGNMENT

namespace {

namespace indi = INDI::AlignmentSubsystem;

constexpr double kHoursPerRad = 12.0 / std::numbers::pi;
constexpr double kDegPerRad = 180.0 / std::numbers::pi;
// The database wants a site; with an equatorial mount the math does not use it.
constexpr double kLatitudeDeg = 45.0;
constexpr double kLongitudeDeg = 0.0;
constexpr double kJ2000 = 2451545.0;

INDI::IEquatorialCoordinates raDecOf(alignment::Place p)
{
    double ra = std::fmod(-p.ha * kHoursPerRad, 24.0);
    if (ra < 0)
        ra += 24.0;
    return { ra, p.dec * kDegPerRad };
}

alignment::Place placeOf(const INDI::IEquatorialCoordinates& c)
{
    return { std::remainder(-c.rightascension / kHoursPerRad, 2 * std::numbers::pi),
        c.declination / kDegPerRad };
}

// The plugin prints every matrix it computes on standard error: kept quiet while it works.
class QuietStandardError {
public:
    QuietStandardError()
        : saved_(::dup(STDERR_FILENO))
    {
        std::fflush(stderr);
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (null >= 0) {
            ::dup2(null, STDERR_FILENO);
            ::close(null);
        }
    }
    ~QuietStandardError()
    {
        std::fflush(stderr);
        if (saved_ >= 0) {
            ::dup2(saved_, STDERR_FILENO);
            ::close(saved_);
        }
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int saved_;
};

} // namespace

bool yardstickAvailable()
{
    return true;
}

std::string yardstickUnavailableReason()
{
    return {};
}

bool yardstickCommands(const std::vector<alignment::AlignmentPoint>& points,
    const std::vector<alignment::Place>& goals, std::vector<alignment::Place>& commands)
{
    const QuietStandardError quiet;
    indi::InMemoryDatabase database;
    database.SetDatabaseReferencePosition(kLatitudeDeg, kLongitudeDeg);
    indi::BuiltInMathPlugin plugin;
    plugin.SetApproximateMountAlignment(indi::NORTH_CELESTIAL_POLE);
    for (const auto& point : points) {
        indi::AlignmentDatabaseEntry entry;
        entry.ObservationJulianDate = kJ2000;
        const auto star = raDecOf(point.observed);
        entry.RightAscension = star.rightascension;
        entry.Declination = star.declination;
        entry.TelescopeDirection
            = plugin.TelescopeDirectionVectorFromEquatorialCoordinates(raDecOf(point.commanded));
        database.GetAlignmentDatabase().push_back(entry);
    }
    if (!plugin.Initialise(&database))
        return false;
    commands.clear();
    for (const auto& goal : goals) {
        const auto wanted = raDecOf(goal);
        indi::TelescopeDirectionVector direction;
        if (!plugin.TransformCelestialToTelescope(wanted.rightascension, wanted.declination, 0, direction))
            return false;
        INDI::IEquatorialCoordinates mount;
        plugin.EquatorialCoordinatesFromTelescopeDirectionVector(direction, mount);
        commands.push_back(placeOf(mount));
    }
    return true;
}

#else

bool yardstickAvailable()
{
    return false;
}

std::string yardstickUnavailableReason()
{
    return "not built: needs libindiAlignmentDriver and the GSL headers (libgsl-dev)";
}

bool yardstickCommands(const std::vector<alignment::AlignmentPoint>&, const std::vector<alignment::Place>&,
    std::vector<alignment::Place>&)
{
    return false;
}

#endif

} // namespace bench
