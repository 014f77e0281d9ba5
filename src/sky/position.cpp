// SPDX-License-Identifier: GPL-3.0-or-later
// Places of the date with ERFA: J2000 and proper motion to the apparent place, equinox of date.
#include <cmath>
#include <erfa.h>
#include <erfam.h>

#include "sky/catalogue.h"
#include "sky/dates.h"

namespace catalogue {

Position positionDuJour(double ad2000, double dec2000, double pmAD, double pmDEC, std::int64_t utcMs)
{
    // TT, which the places of the date take.
    const sky::Dates instant = sky::dates(utcMs);
    const double tt1 = instant.tt1;
    const double tt2 = instant.tt2;

    const double rc = ad2000 * ERFA_DD2R;
    const double dc = dec2000 * ERFA_DD2R;
    const double cosDec = std::cos(dc);
    // ERFA wants dRA/dt; the catalogue gives it times cos Dec. At a pole there is no RA to move.
    const double pr = cosDec > 1e-9 ? pmAD * ERFA_DMAS2R / cosDec : 0.0;
    const double pd = pmDEC * ERFA_DMAS2R;
    double ri = 0, di = 0, eo = 0;
    // ICRS → CIRS (proper motion, light deflection, aberration, precession-nutation) ...
    eraAtci13(rc, dc, pr, pd, 0.0, 0.0, tt1, tt2, &ri, &di, &eo);
    // ... then from the CIO to the equinox of the date.
    return Position { eraAnp(ri - eo) * ERFA_DR2D, di * ERFA_DR2D };
}

Position positionDuJour(const Objet& objet, std::int64_t utcMs, const std::optional<sky::Lieu>& lieu)
{
    if (objet.corps)
        return sky::placeApparente(*objet.corps, utcMs, lieu);
    return positionDuJour(objet.ad2000, objet.dec2000, objet.pmAD, objet.pmDEC, utcMs);
}

} // namespace catalogue
