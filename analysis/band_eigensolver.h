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
    // the same scale, which moves sigma by less than rounding does. Written
    // out for the half bandwidth of 3 that beam elements give; B rows of zeros
    // stand before the first, so that the first rows need no cases of their
    // own (the band store holds zeros left of the matrix too).
    int factor(const band_matrix<Real> &k, const band_matrix<Real> &m, Real sigma)
    {
        static_assert(B == 3, "the factorisation is written out for a half bandwidth of 3");
        const int n = k.n;
        lower_.assign(static_cast<std::size_t>(n + B) * (B + 1), Real(0));
        inverse_pivot_.assign(n + B, Real(0));
        n_ = n;
        Real *lower = lower_.data() + B * (B + 1);  // lower[i * 4 + d] = L(i, i - d)
        Real *inverse = inverse_pivot_.data() + B;
        int negatives = 0;
        for (int i = 0; i < n; ++i) {
            const Real *kr = &k.entries[static_cast<std::size_t>(i) * (B + 1)];
            const Real *mr = &m.entries[static_cast<std::size_t>(i) * (B + 1)];
            const Real *up1 = lower + (i - 1) * (B + 1), *up2 = lower + (i - 2) * (B + 1);
            // r_d = L(i, i - d) d(i - d), from the rows above.
            const Real r3 = kr[3] - sigma * mr[3];
            const Real r2 = (kr[2] - sigma * mr[2]) - r3 * up2[1];
            const Real r1 = ((kr[1] - sigma * mr[1]) - r3 * up1[2]) - r2 * up1[1];
            Real *row = lower + i * (B + 1);
            row[3] = r3 * inverse[i - 3];
            row[2] = r2 * inverse[i - 2];
            row[1] = r1 * inverse[i - 1];
            Real diagonal = (((kr[0] - sigma * mr[0]) - row[3] * r3) - row[2] * r2) - row[1] * r1;
            if (diagonal == 0)
                diagonal = std::numeric_limits<Real>::epsilon() * (std::fabs(kr[0]) + std::fabs(sigma * mr[0]));
            inverse[i] = 1 / diagonal;
            negatives += diagonal < 0;
        }
        return negatives;
    }

    // Solves (K - sigma M) x = b with the last factors, in place.
    void solve(std::vector<Real> &x) const
    {
        const int n = n_;
        for (int i = 0; i < n; ++i)
            for (int j = std::max(0, i - B); j < i; ++j) x[i] -= l(i, j) * x[j];
        for (int i = 0; i < n; ++i) x[i] *= inverse_pivot_[i + B];
        for (int i = n - 1; i >= 0; --i)
            for (int q = i + 1; q <= std::min(n - 1, i + B); ++q) x[i] -= l(q, i) * x[q];
    }

private:
    Real l(int i, int j) const { return lower_[static_cast<std::size_t>(i + B) * (B + 1) + (i - j)]; }
    int n_ = 0;
    std::vector<Real> lower_, inverse_pivot_;
};

// y = A x for the symmetric band matrix A.
template <class Real>
void band_product(const band_matrix<Real> &a, const std::vector<Real> &x, std::vector<Real> &y)
{
    const int b = band_matrix<Real>::HALF_BANDWIDTH;
    y.assign(a.n, Real(0));
    for (int i = 0; i < a.n; ++i) {
        Real sum = a.entry(i, 0) * x[i];
        for (int j = std::max(0, i - b); j < i; ++j) {
            sum += a.entry(i, i - j) * x[j];
            y[j] += a.entry(i, i - j) * x[i];
        }
        y[i] += sum;
    }
}

// x' A x for the symmetric band matrix A.
template <class Real>
Real quadratic_form(const band_matrix<Real> &a, const std::vector<Real> &x)
{
    const int b = band_matrix<Real>::HALF_BANDWIDTH;
    Real sum = 0;
    for (int i = 0; i < a.n; ++i) {
        Real off = 0;
        for (int j = std::max(0, i - b); j < i; ++j) off += a.entry(i, i - j) * x[j];
        sum += x[i] * (a.entry(i, 0) * x[i] + 2 * off);
    }
    return sum;
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
    while (count_below(high) < first + count) {
        // Stiffness or mass out of the range of a double leave no shift with
        // enough eigenvalues below it.
        if (!(high < std::numeric_limits<Real>::max() / 16))
            throw invalid_barrel("the model's numbers are out of range: no finite frequency was found");
        high *= 16;
    }

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
    // Eigenvalues spread over decades: bisect on a log scale, and from a
    // bracket that starts at zero come down by a decade at a time.
    auto middle = [](Real lo, Real hi) { return lo > 0 ? std::sqrt(lo * hi) : hi / 10; };
    // A vector is converged when an iteration changes it by less than this:
    // the quotient's error is about its square.
    const Real settled_change = std::sqrt(std::numeric_limits<Real>::epsilon());

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
        // The counts are unsure within round-off of the eigenvalue, so a
        // quotient that strays that little past the bracket still counts.
        // The start: smooth, rich in the low modes, with the modes already
        // found taken out, so that its quotient is already near this one.
        std::vector<Real> x(n), y, rhs;
        for (int i = 0; i < n; ++i) x[i] = 1 + Real(i) / n;
        for (const eigenpair<Real> &found : pairs) {
            band_product(m, found.vector, rhs);
            const Real along = dot(x, rhs);
            for (int i = 0; i < n; ++i) x[i] -= along * found.vector[i];
        }
        const Real start = quadratic_form(k, x) / quadratic_form(m, x);
        Real shift = start > lo && start < hi ? start : middle(lo, hi), value = shift;
        const Real slack = Real(1e-4);
        // y = (K - shift M)^-1 M x; its quotient is shift + y'Mx / y'My,
        // since (K - shift M) y = M x: no product with K is needed.
        std::vector<Real> my;
        band_product(m, x, rhs);
        for (int iteration = 0; iteration < 60; ++iteration) {
            if (count_below(shift) <= index) lo = std::max(lo, shift);
            else hi = std::min(hi, shift);
            y = rhs;
            factors.solve(y);
            band_product(m, y, my);
            const Real y_my = dot(y, my), y_mx = dot(y, rhs);
            // Above the eigenvalue inverse iteration flips the sign: keep it.
            const Real scale = (y_mx < 0 ? -1 : 1) / std::sqrt(y_my);
            Real change = 0, largest = 0;
            for (int i = 0; i < n; ++i) {
                const Real next = scale * y[i];
                change = std::max(change, std::fabs(next - x[i]));
                largest = std::max(largest, std::fabs(next));
                x[i] = next;
                rhs[i] = scale * my[i];
            }
            const Real quotient = shift + y_mx / y_my;
            const bool inside = quotient >= lo - slack * std::fabs(lo) && quotient <= hi + slack * std::fabs(hi);
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
