// The lowest eigenpairs of K x = lambda M x for symmetric band matrices, M
// positive definite. Sylvester's law of inertia isolates each root: the
// number of negative pivots of the LDL' factors of K - sigma M is the number
// of eigenvalues below sigma. Rayleigh-quotient iteration (inverse iteration
// with the shift updated to the quotient, cubically convergent) then refines
// it, every step's factors checking that the shift stays in the bracket, and
// its last vector is the mode's shape.
#pragma once

#include "analysis/finite_elements.h"

#include <cmath>
#include <algorithm>
#include <functional>
#include <utility>
#include <limits>
#include <stdexcept>
#include <vector>

namespace analysis {

template <class Real>
struct eigenpair {
    Real value;
    std::vector<Real> vector;  // M-normalised
};

template <class Real>
class shifted_factors {
public:
    static constexpr int B = band_matrix<Real>::HALF_BANDWIDTH;

    // LDL' of K - sigma M without pivoting; returns the number of negative
    // pivots. A pivot that comes out exactly zero is nudged to a tiny value of
    // the same scale, which moves sigma by less than rounding does.
    int factor(const band_matrix<Real> &k, const band_matrix<Real> &m, Real sigma)
    {
        const int n = k.n;
        lower_.assign(static_cast<std::size_t>(n) * (B + 1), Real(0));
        pivot_.assign(n, Real(0));
        int negatives = 0;
        for (int i = 0; i < n; ++i) {
            Real row[B + 1];  // row[i - j] = L(i, j) * d(j), then L(i, j)
            for (int j = std::max(0, i - B); j < i; ++j) {
                Real sum = k.entry(i, i - j) - sigma * m.entry(i, i - j);
                for (int p = std::max(0, i - B); p < j; ++p) sum -= row[i - p] * l(j, p);
                row[i - j] = sum;  // L(i, j) d(j)
            }
            Real diagonal = k.entry(i, 0) - sigma * m.entry(i, 0);
            for (int j = std::max(0, i - B); j < i; ++j) {
                const Real lij = row[i - j] / pivot_[j];
                diagonal -= lij * row[i - j];
                l(i, j) = lij;
            }
            if (diagonal == 0)
                diagonal = std::numeric_limits<Real>::epsilon() * (std::fabs(k.entry(i, 0)) + std::fabs(sigma * m.entry(i, 0)));
            pivot_[i] = diagonal;
            negatives += diagonal < 0;
        }
        return negatives;
    }

    // Solves (K - sigma M) x = b with the last factors, in place.
    void solve(std::vector<Real> &x) const
    {
        const int n = static_cast<int>(pivot_.size());
        for (int i = 0; i < n; ++i)
            for (int j = std::max(0, i - B); j < i; ++j) x[i] -= l(i, j) * x[j];
        for (int i = 0; i < n; ++i) x[i] /= pivot_[i];
        for (int i = n - 1; i >= 0; --i)
            for (int q = i + 1; q <= std::min(n - 1, i + B); ++q) x[i] -= l(q, i) * x[q];
    }

private:
    Real &l(int i, int j) { return lower_[static_cast<std::size_t>(i) * (B + 1) + (i - j)]; }
    Real l(int i, int j) const { return lower_[static_cast<std::size_t>(i) * (B + 1) + (i - j)]; }
    std::vector<Real> lower_, pivot_;
};

template <class Real>
std::vector<Real> band_product(const band_matrix<Real> &a, const std::vector<Real> &x)
{
    const int b = band_matrix<Real>::HALF_BANDWIDTH;
    std::vector<Real> y(a.n, Real(0));
    for (int i = 0; i < a.n; ++i) {
        y[i] += a.entry(i, 0) * x[i];
        for (int j = std::max(0, i - b); j < i; ++j) {
            y[i] += a.entry(i, i - j) * x[j];
            y[j] += a.entry(i, i - j) * x[i];
        }
    }
    return y;
}

template <class Real>
Real dot(const std::vector<Real> &a, const std::vector<Real> &b)
{
    Real sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i) sum += a[i] * b[i];
    return sum;
}

// Eigenvalues number first .. first + count - 1 (from 0, in increasing
// order) with their vectors. energy, if given, returns x'Kx computed without
// the assembled stiffness; the final value of each pair is then
// energy(x) / x'Mx for its converged x.
template <class Real>
std::vector<eigenpair<Real>> lowest_eigenpairs(const band_matrix<Real> &k, const band_matrix<Real> &m, int first,
                                               int count,
                                               const std::function<Real(const std::vector<Real> &)> &energy = {})
{
    const int n = k.n;
    if (first + count > n) throw std::invalid_argument("more modes asked for than the model has");
    shifted_factors<Real> factors;

    // Shifts with their counts, kept sorted by shift: the brackets of every
    // mode come from them. Below the lowest eigenvalue lies any negative shift
    // of the size of the diagonal's smallest ratio, since K is semi-definite.
    struct sample {
        Real shift;
        int below;
    };
    std::vector<sample> samples;
    auto count_below = [&](Real shift) {
        const int below = factors.factor(k, m, shift);
        auto at = samples.begin();
        while (at != samples.end() && at->shift < shift) ++at;
        samples.insert(at, {shift, below});
        return below;
    };
    Real scale = std::numeric_limits<Real>::max();
    for (int i = 0; i < n; ++i)
        if (k.entry(i, 0) > 0) scale = std::min(scale, k.entry(i, 0) / m.entry(i, 0));
    samples.push_back({-scale * Real(1e-6), 0});
    Real high = scale * Real(1e-6);
    while (count_below(high) < first + count) high *= 16;

    // The samples nearest each side of eigenvalue number index.
    auto bracket = [&](int index) {
        sample lo = samples.front(), hi = samples.back();
        for (const sample &s : samples) {
            if (s.below <= index) lo = s;
            else {
                hi = s;
                break;
            }
        }
        return std::pair<sample, sample>{lo, hi};
    };
    auto middle = [](Real lo, Real hi) { return lo > 0 ? std::sqrt(lo * hi) : (lo + hi) / 2; };
    // A vector is converged when an iteration changes it by less than this:
    // the quotient's error is about its square.
    const Real settled_change = Real(1e-3) * std::sqrt(std::numeric_limits<Real>::epsilon());

    std::vector<eigenpair<Real>> pairs;
    for (int index = first; index < first + count; ++index) {
        // Isolate: only this eigenvalue between the two samples.
        for (int step = 0; step < 200; ++step) {
            const auto [lo, hi] = bracket(index);
            if (lo.below == index && hi.below == index + 1) break;
            count_below(middle(lo.shift, hi.shift));
        }
        auto [lo_sample, hi_sample] = bracket(index);
        Real lo = lo_sample.shift, hi = hi_sample.shift;

        // Refine by Rayleigh-quotient iteration from the middle of the bracket.
        std::vector<Real> x(n), previous;
        for (int i = 0; i < n; ++i) x[i] = 1 + Real(0.5) * std::sin(Real(0.7) * i + index);
        Real shift = middle(lo, hi), value = shift;
        for (int iteration = 0; iteration < 60; ++iteration) {
            if (count_below(shift) <= index) lo = std::max(lo, shift);
            else hi = std::min(hi, shift);
            previous = x;
            std::vector<Real> y = band_product(m, x);
            factors.solve(y);
            const Real norm = std::sqrt(dot(y, band_product(m, y)));
            // Above the eigenvalue inverse iteration flips the sign: keep it.
            const Real sign = dot(y, band_product(m, previous)) < 0 ? -1 : 1;
            Real change = 0, largest = 0;
            for (int i = 0; i < n; ++i) {
                x[i] = sign * y[i] / norm;
                change = std::max(change, std::fabs(x[i] - previous[i]));
                largest = std::max(largest, std::fabs(x[i]));
            }
            const Real quotient = dot(x, band_product(k, x));
            const bool inside = quotient > lo && quotient < hi;
            value = inside ? quotient : middle(lo, hi);
            if (inside && iteration > 0 && change <= settled_change * largest) break;
            shift = value;
        }
        if (energy) value = energy(x);  // x is M-normalised
        pairs.push_back({value, x});
    }
    return pairs;
}

}  // namespace analysis
