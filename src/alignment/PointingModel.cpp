// SPDX-License-Identifier: GPL-3.0-or-later
// The exact mapping, its inverse, and the fit of the terms.
#include "alignment/PointingModel.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
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
    case TermSet::Full:
        break;
    }
    return { IH, ID, CH, NP, MA, ME };
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

// The first-order formulas as rows of a design matrix: the hour angle row scaled by cos d, so that both rows
// are lengths on the sky and a point near the pole does not outweigh the others.
MatrixXd designMatrix(std::span<const AlignmentPoint> points, const std::vector<Term>& which)
{
    MatrixXd a(2 * points.size(), which.size());
    for (std::size_t p = 0; p < points.size(); ++p) {
        const double h = points[p].observed.ha;
        const double d = points[p].observed.dec;
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
            a(2 * p, j) = haRow;
            a(2 * p + 1, j) = decRow;
        }
    }
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

    TermSet set = points.size() == 1 ? TermSet::Offset
        : points.size() == 2         ? TermSet::PolarAxis
                                     : TermSet::Full;
    if (set != TermSet::Offset && hourAngleSpread(points) < kMinHourAngleSpread)
        return refused(Refusal::OneHourCircle, texts::MêmeCercleHoraire);
    std::vector<Term> which = termsOf(set);
    MatrixXd a = designMatrix(points, which);
    bool conditioned = wellConditioned(a);
    if (set == TermSet::Full && !conditioned) {
        // Declinations too alike to tell CH and NP from IH: the polar axis and the index errors still are.
        set = TermSet::PolarAxis;
        which = termsOf(set);
        a = designMatrix(points, which);
        conditioned = wellConditioned(a);
    }
    if (!conditioned)
        return refused(Refusal::IllConditioned, texts::MalConditionné);

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
    if (x.cwiseAbs().maxCoeff() > kMaxTerm)
        return refused(Refusal::TermsTooLarge, texts::TermesDémesurés);

    Fit fit;
    fit.termSet = set;
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
