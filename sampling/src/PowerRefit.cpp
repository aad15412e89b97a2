#include "PowerRefit.h"

#include <cmath>
#include <utility>

namespace Morvek {

namespace {

// Solves a * x = b for a symmetric positive semi-definite n x n matrix by Gaussian elimination
// with partial pivoting; false when a pivot vanishes (the constraints are not independent).
template <int N>
bool solve(std::array<std::array<double, N>, N> a, std::array<double, N> b, int n,
           std::array<double, N>& x)
{
    double scale = 0.0;
    for (int i = 0; i < n; ++i)
        scale = std::fmax(scale, std::fabs(a[i][i]));
    for (int c = 0; c < n; ++c) {
        int pivot = c;
        for (int r = c + 1; r < n; ++r)
            if (std::fabs(a[r][c]) > std::fabs(a[pivot][c]))
                pivot = r;
        if (!(std::fabs(a[pivot][c]) > scale * 1e-12))
            return false;
        std::swap(a[c], a[pivot]);
        std::swap(b[c], b[pivot]);
        for (int r = c + 1; r < n; ++r) {
            const double f = a[r][c] / a[c][c];
            for (int k = c; k < n; ++k)
                a[r][k] -= f * a[c][k];
            b[r] -= f * b[c];
        }
    }
    for (int r = n - 1; r >= 0; --r) {
        double s = b[r];
        for (int k = r + 1; k < n; ++k)
            s -= a[r][k] * x[k];
        x[r] = s / a[r][r];
    }
    return true;
}

} // namespace

void PowerRefit::refit(const std::vector<std::array<double, 3>>& directions, const Moments& target,
                       std::vector<double>& powers)
{
    const std::size_t n = powers.size();
    std::vector<Moments> basis(n);
    for (std::size_t i = 0; i < n; ++i)
        basis[i] = momentsOf(directions[i]);
    // p_i = P_i (1 + lambda . b_i) is the smallest change in sum (p_i - P_i)^2 / P_i that meets
    // the first k moments. The second moments are given up when no such change keeps every
    // power positive, and then the first ones.
    for (const int k : {9, 4, 1}) {
        if (std::size_t(k) > n)
            continue;
        std::array<std::array<double, momentCount>, momentCount> a{};
        Moments rhs = target;
        for (std::size_t i = 0; i < n; ++i)
            for (int r = 0; r < k; ++r) {
                rhs[r] -= powers[i] * basis[i][r];
                for (int c = 0; c < k; ++c)
                    a[r][c] += powers[i] * basis[i][r] * basis[i][c];
            }
        Moments lambda{};
        if (!solve<momentCount>(a, rhs, k, lambda))
            continue;
        std::vector<double> next(n);
        bool positive = true;
        for (std::size_t i = 0; i < n && positive; ++i) {
            double f = 1.0;
            for (int r = 0; r < k; ++r)
                f += lambda[r] * basis[i][r];
            next[i] = powers[i] * f;
            positive = f > 0.0;
        }
        if (positive) {
            powers = std::move(next);
            return;
        }
    }
}

} // namespace Morvek
