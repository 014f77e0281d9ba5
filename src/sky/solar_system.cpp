// SPDX-License-Identifier: GPL-3.0-or-later
// Places of the Sun, the Moon and the planets with ERFA: eraEpv00 (the Earth), eraPlan94 (the
// planets), eraMoon98 (the Moon), then the same chain as for a star (deflection, aberration,
// precession-nutation) from the observer's astrometry parameters.
#include "sky/solar_system.h"

#include "sky/dates.h"

#include <algorithm>
#include <cmath>
#include <erfa.h>
#include <erfam.h>

namespace sky {

namespace {

// Passes of the light-time iteration: the third changes the place by far less than a milliarcsecond.
constexpr int PassesTempsLumière = 3;
// eraLd's limiter for a source behind the Sun, as ERFA takes it for stars.
constexpr double LimiteDéviation = 1e-6;
// eraPlan94's numbers of the planets (3 is the Earth-Moon barycentre).
constexpr int NuméroPlan94[] = { 0, 0, 1, 2, 4, 5, 6, 7, 8 };

constexpr std::array<NomsDuCorps, NombreDeCorps> Noms { {
    { Corps::Soleil, "Soleil", "Sun" },
    { Corps::Lune, "Lune", "Moon" },
    { Corps::Mercure, "Mercure", "Mercury" },
    { Corps::Vénus, "Vénus", "Venus" },
    { Corps::Mars, "Mars", "Mars" },
    { Corps::Jupiter, "Jupiter", "Jupiter" },
    { Corps::Saturne, "Saturne", "Saturn" },
    { Corps::Uranus, "Uranus", "Uranus" },
    { Corps::Neptune, "Neptune", "Neptune" },
} };

// Where the observer is and how it moves, for every body at one instant.
struct Observateur {
    eraASTROM astrom {};
    double eo = 0; // equation of the origins: from the CIO's right ascension to the equinox's
};

Observateur observateur(const Dates& d, const std::optional<Lieu>& lieu)
{
    Observateur o;
    // UT1 is taken as UTC (under 0.9 s apart: a few arcseconds of the Moon's parallax at most),
    // no polar motion, no refraction (pressure 0).
    if (lieu
        && eraApco13(d.utc1, d.utc2, 0.0, lieu->longitude * ERFA_DD2R, lieu->latitude * ERFA_DD2R,
               lieu->altitude, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, &o.astrom, &o.eo)
            >= 0)
        return o;
    eraApci13(d.tt1, d.tt2, &o.astrom, &o.eo);
    return o;
}

// Barycentric positions (au, ICRS axes; eraPlan94's J2000 mean equator differs by the frame
// bias, 0.02″) of a body and of the Sun at a date.
void positionsBarycentriques(Corps corps, double tt1, double tt2, double corpsB[3], double soleilB[3])
{
    double terreH[2][3], terreB[2][3];
    eraEpv00(tt1, tt2, terreH, terreB);
    eraPmp(terreB[0], terreH[0], soleilB);
    double pv[2][3];
    switch (corps) {
    case Corps::Soleil:
        eraCp(soleilB, corpsB);
        return;
    case Corps::Lune:
        eraMoon98(tt1, tt2, pv); // geocentric, GCRS
        eraPpp(terreB[0], pv[0], corpsB);
        return;
    default:
        eraPlan94(tt1, tt2, NuméroPlan94[static_cast<int>(corps)], pv); // heliocentric
        eraPpp(soleilB, pv[0], corpsB);
        return;
    }
}

// ERFA takes no const: the observer is copied (a few hundred bytes).
Place placeVue(Corps corps, const Dates& d, Observateur o)
{
    // Where the body was when the light that reaches the observer now left it.
    double corpsB[3], soleilB[3], versCorps[3];
    double retardJours = 0;
    for (int passe = 0; passe < PassesTempsLumière; ++passe) {
        positionsBarycentriques(corps, d.tt1, d.tt2 - retardJours, corpsB, soleilB);
        eraPmp(corpsB, o.astrom.eb, versCorps);
        retardJours = eraPm(versCorps) * ERFA_AULT / ERFA_DAYSEC;
    }
    double distance = 0, direction[3];
    eraPn(versCorps, &distance, direction);

    // The Sun bends the light of every other body on its way to us.
    double naturelle[3];
    if (corps == Corps::Soleil) {
        eraCp(direction, naturelle);
    } else {
        double depuisSoleil[3], q[3], r = 0;
        eraPmp(corpsB, soleilB, depuisSoleil);
        eraPn(depuisSoleil, &r, q);
        const double limite = LimiteDéviation / std::max(o.astrom.em * o.astrom.em, 1.0);
        eraLd(1.0, direction, q, o.astrom.eh, o.astrom.em, limite, naturelle);
    }
    double apparente[3], intermédiaire[3];
    eraAb(naturelle, o.astrom.v, o.astrom.em, o.astrom.bm1, apparente);
    eraRxp(o.astrom.bpn, apparente, intermédiaire);
    double ri = 0, di = 0;
    eraC2s(intermédiaire, &ri, &di);
    // From the CIO to the equinox of the date, as the catalogue's places.
    return Place { eraAnp(ri - o.eo) * ERFA_DR2D, di * ERFA_DR2D };
}

} // namespace

const std::array<NomsDuCorps, NombreDeCorps>& corpsDuSystèmeSolaire()
{
    return Noms;
}

Place placeApparente(Corps corps, std::int64_t utcMs, const std::optional<Lieu>& lieu)
{
    const Dates d = dates(utcMs);
    return placeVue(corps, d, observateur(d, lieu));
}

std::array<Place, NombreDeCorps> placesApparentes(std::int64_t utcMs, const std::optional<Lieu>& lieu)
{
    const Dates d = dates(utcMs);
    const Observateur o = observateur(d, lieu);
    std::array<Place, NombreDeCorps> places;
    for (std::size_t i = 0; i < NombreDeCorps; ++i)
        places[i] = placeVue(Noms[i].corps, d, o);
    return places;
}

double séparation(const Place& a, const Place& b)
{
    return eraSeps(a.ad * ERFA_DD2R, a.dec * ERFA_DD2R, b.ad * ERFA_DD2R, b.dec * ERFA_DD2R) * ERFA_DR2D;
}

double hauteur(const Place& place, std::int64_t utcMs, const Lieu& lieu)
{
    Observateur o = observateur(dates(utcMs), lieu);
    double azimut = 0, distanceZénithale = 0, angleHoraire = 0, déclinaison = 0, ascensionDroite = 0;
    // The place's right ascension from the equinox back to the CIO, then CIRS to the horizon.
    eraAtioq(eraAnp(place.ad * ERFA_DD2R + o.eo), place.dec * ERFA_DD2R, &o.astrom, &azimut,
        &distanceZénithale, &angleHoraire, &déclinaison, &ascensionDroite);
    return 90.0 - distanceZénithale * ERFA_DR2D;
}

double tempsSidéralLocal(std::int64_t utcMs, const Lieu& lieu)
{
    const Dates d = dates(utcMs);
    return eraAnp(eraGst06a(d.utc1, d.utc2, d.tt1, d.tt2) + lieu.longitude * ERFA_DD2R) * ERFA_DR2D;
}

int degrésEntiers(double angle)
{
    return static_cast<int>(std::floor(angle));
}

} // namespace sky
