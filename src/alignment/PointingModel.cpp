// SPDX-License-Identifier: GPL-3.0-or-later
// The exact mapping, its inverse, and the fit of the terms.
#include "alignment/PointingModel.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>
#include <unsupported/Eigen/NonLinearOptimization>
#include <unsupported/Eigen/NumericalDiff>

#include "alignment/texts.h"

namespace alignment {

namespace {

using Eigen::Matrix3d;
using Eigen::MatrixXd;
using Eigen::Vector3d;
using Eigen::VectorXd;

constexpr double kPi = std::numbers::pi;
constexpr double kDegree = kPi / 180.0;
// Hour angles of the points must spread at least this much for the polar axis to be told apart from IH.
constexpr double kMinHourAngleSpread = 5.0 * kDegree;
// Smallest singular value of the scaled design matrix, relative to the largest, that a fit accepts.
constexpr double kMinConditioning = 1e-3;
// No mount is this far off: a larger term means a star was mistaken or badly centred.
constexpr double kMaxTerm = 10.0 * kDegree;
// The inverse mapping stops when a step moves the place by less than this, or after kMaxNewtonSteps.
constexpr double kNewtonTolerance = 1e-12;
constexpr int kMaxNewtonSteps = 30;
constexpr double kNewtonDerivativeStep = 1e-7;
// The usual size of each term an alignment may leave out: a polar axis set by eye, and the cone and
// non-perpendicularity of an ordinary mount. IH and ID are always fitted.
constexpr double kPolarAxisScale = 1.0 * kDegree;
constexpr double kTubeScale = 15.0 / 60.0 * kDegree;
// The targets over which a set of terms is judged: hour angles within six hours of the meridian, from
// kTargetDecMin (mirrored for southern stars) up to kTargetDecMax.
constexpr double kTargetDecMin = -30.0 * kDegree;
constexpr double kTargetHaMax = 90.0 * kDegree;
constexpr int kTargetSteps = 12;

// An angle brought into [-pi, pi].
double wrapPi(double a)
{
    return std::remainder(a, 2 * kPi);
}

Vector3d vectorOf(Place p)
{
    return { std::cos(p.dec) * std::cos(p.ha), -std::cos(p.dec) * std::sin(p.ha), std::sin(p.dec) };
}

Place placeOf(const Vector3d& v)
{
    return { std::atan2(-v.y(), v.x()), std::atan2(v.z(), std::hypot(v.x(), v.y())) };
}

// Small differences between two places on the sky: hour angle scaled to a great-circle length.
Eigen::Vector2d skyDifference(Place a, Place b)
{
    return { wrapPi(a.ha - b.ha) * std::cos(b.dec), a.dec - b.dec };
}

// The terms a set fits, in the order of the parameter vector.
enum Term { IH, ID, CH, NP, MA, ME };

std::vector<Term> termsOf(TermSet set)
{
    switch (set) {
    case TermSet::Offset:
        return { IH, ID };
    case TermSet::PolarAxis:
        return { IH, ID, MA, ME };
    case TermSet::PolarAxisAndCollimation:
        return { IH, ID, CH, MA, ME };
    case TermSet::PolarAxisAndNonPerpendicularity:
        return { IH, ID, NP, MA, ME };
    case TermSet::Full:
        break;
    }
    return { IH, ID, CH, NP, MA, ME };
}

double usualSize(Term t)
{
    switch (t) {
    case IH:
    case ID:
        return 0;
    case MA:
    case ME:
        return kPolarAxisScale;
    case CH:
    case NP:
        break;
    }
    return kTubeScale;
}

double& termRef(Terms& t, Term which)
{
    switch (which) {
    case IH:
        return t.ih;
    case ID:
        return t.id;
    case CH:
        return t.ch;
    case NP:
        return t.np;
    case MA:
        return t.ma;
    case ME:
        break;
    }
    return t.me;
}

Terms termsFrom(const std::vector<Term>& which, const VectorXd& x)
{
    Terms t;
    for (std::size_t i = 0; i < which.size(); ++i)
        termRef(t, which[i]) = x[static_cast<Eigen::Index>(i)];
    return t;
}

// The first-order formulas of one place as two rows (hour angle, declination) of a design matrix: the hour
// angle row scaled by cos d, so that both rows are lengths on the sky and a point near the pole does not
// outweigh the others.
void fillRows(Place place, const std::vector<Term>& which, Eigen::Ref<MatrixXd> rows)
{
    const double h = place.ha;
    const double d = place.dec;
    for (std::size_t j = 0; j < which.size(); ++j) {
        double haRow = 0;
        double decRow = 0;
        switch (which[j]) {
        case IH:
            haRow = -std::cos(d);
            break;
        case ID:
            decRow = -1;
            break;
        case CH:
            haRow = -1;
            break;
        case NP:
            haRow = -std::sin(d);
            break;
        case MA:
            haRow = -std::cos(h) * std::sin(d);
            decRow = std::sin(h);
            break;
        case ME:
            haRow = std::sin(h) * std::sin(d);
            decRow = std::cos(h);
            break;
        }
        rows(0, static_cast<Eigen::Index>(j)) = haRow;
        rows(1, static_cast<Eigen::Index>(j)) = decRow;
    }
}

MatrixXd designMatrix(std::span<const AlignmentPoint> points, const std::vector<Term>& which)
{
    MatrixXd a(2 * points.size(), which.size());
    for (std::size_t p = 0; p < points.size(); ++p)
        fillRows(points[p].observed, which, a.middleRows(2 * static_cast<Eigen::Index>(p), 2));
    return a;
}

bool wellConditioned(const MatrixXd& a)
{
    MatrixXd scaled = a;
    for (Eigen::Index j = 0; j < scaled.cols(); ++j) {
        const double norm = scaled.col(j).norm();
        if (norm == 0)
            return false;
        scaled.col(j) /= norm;
    }
    const VectorXd s = Eigen::JacobiSVD<MatrixXd>(scaled).singularValues();
    return s.minCoeff() >= kMinConditioning * s.maxCoeff();
}

// Residuals of the exact mapping for Levenberg-Marquardt: the sky place predicted from each commanded
// place, minus the observed one.
struct ExactResiduals {
    using Scalar = double;
    enum { InputsAtCompileTime = Eigen::Dynamic, ValuesAtCompileTime = Eigen::Dynamic };
    using InputType = VectorXd;
    using ValueType = VectorXd;
    using JacobianType = MatrixXd;

    std::span<const AlignmentPoint> points;
    std::vector<Term> which;

    int inputs() const { return static_cast<int>(which.size()); }
    int values() const { return static_cast<int>(2 * points.size()); }
    int operator()(const VectorXd& x, VectorXd& residuals) const
    {
        const PointingModel model(termsFrom(which, x));
        for (std::size_t p = 0; p < points.size(); ++p)
            residuals.segment<2>(2 * static_cast<Eigen::Index>(p))
                = skyDifference(model.skyFromMount(points[p].commanded), points[p].observed);
        return 0;
    }
};

Fit refused(Refusal code, const char* text)
{
    Fit fit;
    fit.refusal = code;
    fit.message = text;
    return fit;
}

// The largest error a GOTO may expect with the terms `which` fitted to these points: the centring error
// carried through the fit, and what the fitted terms leave of the others at their usual size. Infinite when
// the points cannot determine the terms.
double expectedWorstError(std::span<const AlignmentPoint> points, const std::vector<Term>& which)
{
    const MatrixXd a = designMatrix(points, which);
    if (!wellConditioned(a))
        return std::numeric_limits<double>::infinity();
    std::vector<Term> left;
    for (Term t : { IH, ID, CH, NP, MA, ME })
        if (std::find(which.begin(), which.end(), t) == which.end())
            left.push_back(t);
    const Eigen::LDLT<MatrixXd> normal(a.transpose() * a);
    const MatrixXd covariance = normal.solve(MatrixXd::Identity(a.cols(), a.cols()));
    // How the fitted terms take up the terms left out, per unit of each.
    // (With every term fitted there is nothing left out: no solve on an empty right-hand side.)
    const MatrixXd takenUp = left.empty() ? MatrixXd(a.cols(), 0)
                                          : MatrixXd(normal.solve(a.transpose() * designMatrix(points, left)));
    VectorXd sizes(static_cast<Eigen::Index>(left.size()));
    for (std::size_t k = 0; k < left.size(); ++k)
        sizes[static_cast<Eigen::Index>(k)] = usualSize(left[k]);

    double southern = 0;
    for (const auto& p : points)
        southern += p.observed.dec;
    const double hemisphere = southern < 0 ? -1.0 : 1.0;
    MatrixXd fitted(2, a.cols());
    MatrixXd omitted(2, static_cast<Eigen::Index>(left.size()));
    double worst = 0;
    for (int i = 0; i <= kTargetSteps; ++i)
        for (int j = 0; j <= kTargetSteps; ++j) {
            const Place target { -kTargetHaMax + 2 * kTargetHaMax * i / kTargetSteps,
                hemisphere * (kTargetDecMin + (kTargetDecMax - kTargetDecMin) * j / kTargetSteps) };
            fillRows(target, which, fitted);
            double squared
                = kCentringError * kCentringError * (fitted * covariance * fitted.transpose()).trace();
            if (!left.empty()) {
                fillRows(target, left, omitted);
                const MatrixXd bias = (fitted * takenUp - omitted) * sizes.asDiagonal();
                squared += bias.squaredNorm();
            }
            worst = std::max(worst, squared);
        }
    return std::sqrt(worst);
}

double hourAngleSpread(std::span<const AlignmentPoint> points)
{
    double spread = 0;
    for (const auto& a : points)
        for (const auto& b : points)
            spread = std::max(spread, std::abs(wrapPi(a.observed.ha - b.observed.ha)));
    return spread;
}

} // namespace

Place PointingModel::skyFromMount(Place mount) const
{
    const Terms& t = terms_;
    // The axes' true angles: the readings corrected by their index errors.
    const double h = mount.ha + t.ih;
    const double d = mount.dec + t.id;
    // The tube in the frame turning with the polar axis: square to a declination axis that leans by NP out of
    // the plane square to the polar axis, then tilted towards that axis by the collimation error.
    const double c = -t.ch;
    const Vector3d declinationAxis(0, std::cos(t.np), std::sin(t.np));
    const Vector3d alongTube(std::cos(d), -std::sin(d) * std::sin(t.np), std::sin(d) * std::cos(t.np));
    const Vector3d tube = std::cos(c) * alongTube + std::sin(c) * declinationAxis;
    // Turned by the hour angle about the polar axis, then the polar axis carried onto its place on the sky.
    const Matrix3d hourAngle = Eigen::AngleAxisd(-h, Vector3d::UnitZ()).toRotationMatrix();
    const Matrix3d polarAxis
        = (Eigen::AngleAxisd(t.me, Vector3d::UnitY()) * Eigen::AngleAxisd(t.ma, Vector3d::UnitX()))
              .toRotationMatrix();
    return placeOf(polarAxis * hourAngle * tube);
}

Place PointingModel::mountFromSky(Place sky) const
{
    Place mount { sky.ha - terms_.ih, sky.dec - terms_.id };
    for (int step = 0; step < kMaxNewtonSteps; ++step) {
        const Eigen::Vector2d miss = skyDifference(skyFromMount(mount), sky);
        Eigen::Matrix2d jacobian;
        const Place alongHa { mount.ha + kNewtonDerivativeStep, mount.dec };
        const Place alongDec { mount.ha, mount.dec + kNewtonDerivativeStep };
        jacobian.col(0) = skyDifference(skyFromMount(alongHa), sky) - miss;
        jacobian.col(1) = skyDifference(skyFromMount(alongDec), sky) - miss;
        jacobian /= kNewtonDerivativeStep;
        if (std::abs(jacobian.determinant()) < 1e-12)
            break; // at the pole: the hour angle no longer matters
        const Eigen::Vector2d move = jacobian.partialPivLu().solve(-miss);
        mount.ha = wrapPi(mount.ha + move.x());
        mount.dec += move.y();
        if (move.norm() < kNewtonTolerance)
            break;
    }
    return mount;
}

const char* termNames(TermSet set)
{
    switch (set) {
    case TermSet::Offset:
        return "IH ID";
    case TermSet::PolarAxis:
        return "IH ID MA ME";
    case TermSet::PolarAxisAndCollimation:
        return "IH ID MA ME CH";
    case TermSet::PolarAxisAndNonPerpendicularity:
        return "IH ID MA ME NP";
    case TermSet::Full:
        break;
    }
    return "IH ID MA ME CH NP";
}

double separation(Place a, Place b)
{
    const Vector3d u = vectorOf(a);
    const Vector3d v = vectorOf(b);
    return std::atan2(u.cross(v).norm(), u.dot(v));
}

Fit fitModel(std::span<const AlignmentPoint> points)
{
    namespace texts = alignment_texts;
    if (points.empty())
        return refused(Refusal::NoPoints, texts::AucunPoint);
    for (std::size_t i = 0; i < points.size(); ++i)
        for (std::size_t j = 0; j < i; ++j)
            if (separation(points[i].observed, points[j].observed) < kSamePlaceRadius)
                return refused(Refusal::SamePlace, texts::MêmePlace);

    if (points.size() > 1 && hourAngleSpread(points) < kMinHourAngleSpread)
        return refused(Refusal::OneHourCircle, texts::MêmeCercleHoraire);
    // Of the sets the points give numbers enough for, the one whose GOTOs may expect the smallest worst
    // error.
    TermSet set = TermSet::Offset;
    double expected = std::numeric_limits<double>::infinity();
    if (points.size() > 1) {
        for (TermSet candidate : { TermSet::Offset, TermSet::PolarAxis, TermSet::PolarAxisAndCollimation,
                 TermSet::PolarAxisAndNonPerpendicularity, TermSet::Full }) {
            const std::vector<Term> terms = termsOf(candidate);
            if (terms.size() > 2 * points.size())
                continue;
            const double worst = expectedWorstError(points, terms);
            if (worst < expected) {
                expected = worst;
                set = candidate;
            }
        }
        if (!std::isfinite(expected))
            return refused(Refusal::IllConditioned, texts::MalConditionné);
    }
    const std::vector<Term> which = termsOf(set);
    const MatrixXd a = designMatrix(points, which);

    VectorXd offsets(2 * points.size());
    for (std::size_t p = 0; p < points.size(); ++p) {
        const auto d = skyDifference(points[p].commanded, points[p].observed);
        offsets.segment<2>(2 * static_cast<Eigen::Index>(p)) = d;
    }
    VectorXd x = a.colPivHouseholderQr().solve(offsets);

    ExactResiduals residuals { points, which };
    Eigen::NumericalDiff<ExactResiduals> numerical(residuals);
    Eigen::LevenbergMarquardt<Eigen::NumericalDiff<ExactResiduals>> solver(numerical);
    solver.parameters.xtol = 1e-14;
    solver.parameters.ftol = 1e-14;
    const auto status = solver.minimize(x);
    if (status == Eigen::LevenbergMarquardtSpace::ImproperInputParameters || !x.allFinite())
        return refused(Refusal::NotConverged, texts::NonConvergé);
    if (const double largest = x.cwiseAbs().maxCoeff(); largest > kMaxTerm) {
        char text[256];
        std::snprintf(text, sizeof text, texts::TermesDémesurés, largest / kDegree, kMaxTerm / kDegree);
        return refused(Refusal::TermsTooLarge, text);
    }

    Fit fit;
    fit.termSet = set;
    fit.expectedWorst = points.size() > 1 ? expected : expectedWorstError(points, which);
    fit.model = PointingModel(termsFrom(which, x));
    double sumSquares = 0;
    for (const auto& point : points) {
        const double r = separation(fit.model.skyFromMount(point.commanded), point.observed);
        fit.residuals.push_back(r);
        sumSquares += r * r;
    }
    fit.rms = std::sqrt(sumSquares / static_cast<double>(points.size()));
    return fit;
}

Place localPlace(Equatorial place, double lstDeg)
{
    return { std::remainder(lstDeg - place.raDeg, 360.0) * kDegree, place.decDeg * kDegree };
}

Equatorial equatorialPlace(Place local, double lstDeg)
{
    double ra = std::fmod(lstDeg - local.ha / kDegree, 360.0);
    if (ra < 0)
        ra += 360.0;
    return { ra, local.dec / kDegree };
}

} // namespace alignment
