#include "core/matrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <utility>
#include <vector>

namespace tapwright {
namespace {

MatrixPtr Random(int rows, int cols, std::mt19937& gen) {
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    MatrixPtr m = NewMatrix(rows, cols);
    for (int i = 0; i < rows; ++i) {
        for (int j = 0; j < cols; ++j) m->data[i][j] = u(gen);
    }
    return m;
}

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(Matrix, NewMatrixIsZeroFilledAndFreeMatrixAcceptsNothing) {
    MatrixPtr m = NewMatrix(3, 2);
    ASSERT_EQ(m->rows, 3u);
    ASSERT_EQ(m->cols, 2u);
    for (const auto& row : m->data) {
        for (double v : row) EXPECT_EQ(v, 0.0);
    }
    FreeMatrix(m);
    EXPECT_EQ(m, nullptr);
    MatrixPtr none;
    FreeMatrix(none);  // nothing to release
    EXPECT_EQ(none, nullptr);
}

TEST(Matrix, TransposeOfRowIsColumn) {
    std::mt19937 gen(3);
    MatrixPtr row = Random(1, 7, gen);
    MatrixPtr t = Transpose(*row);
    ASSERT_EQ(t->rows, 7u);
    ASSERT_EQ(t->cols, 1u);
    for (int j = 0; j < 7; ++j) EXPECT_EQ(t->data[j][0], row->data[0][j]);
}

// The blocked product must give, bit for bit, the plain triple loop that sums each
// element from 0 over k in increasing order: shapes cover every remainder of the
// blocks of four rows and 128 summation steps, and every count of columns left over
// from the blocks of eight (1 ... 7) under blocks of four rows.
TEST(Matrix, MultiplyMatchesPlainSumBitForBit) {
    std::mt19937 gen(11);
    const int shapes[][3] = {{1, 1, 1},    {3, 5, 2},     {4, 8, 8},     {5, 9, 13},   {7, 130, 3},
                             {8, 129, 17}, {13, 300, 51}, {16, 257, 1},  {51, 64, 51}, {6, 1, 12},
                             {4, 3, 2},    {9, 17, 6},    {12, 130, 14}, {5, 9, 7},    {8, 2, 10}};
    for (const auto& s : shapes) {
        MatrixPtr a = Random(s[0], s[1], gen);
        MatrixPtr b = Random(s[1], s[2], gen);
        // Some exact zeros and negative zeros, whose signs the order decides.
        a->data[0][0] = -0.0;
        b->data[0][0] = 0.0;
        MatrixPtr p = Multiply(*a, *b);
        ASSERT_EQ(p->rows, static_cast<std::uint32_t>(s[0]));
        ASSERT_EQ(p->cols, static_cast<std::uint32_t>(s[2]));
        for (int i = 0; i < s[0]; ++i) {
            for (int j = 0; j < s[2]; ++j) {
                double sum = 0.0;
                for (int k = 0; k < s[1]; ++k) sum += a->data[i][k] * b->data[k][j];
                ASSERT_TRUE(SameBits(sum, p->data[i][j]))
                    << s[0] << "x" << s[1] << "x" << s[2] << " at " << i << "," << j;
            }
        }
    }
}

// The normal-equation and panel kernels against plain sums, on square and oblong
// shapes that leave every remainder of their tiles, slices and panels. Their sums may
// run in any order, so they agree to rounding: 1e-12 of the sum of |terms|.
TEST(Matrix, KernelsMatchPlainSums) {
    std::mt19937 gen(17);
    std::uniform_real_distribution<double> spread(-3.0, 3.0);
    const int shapes[][2] = {{1, 1},   {7, 3},    {16, 16},  {33, 5},  {127, 17},
                             {128, 4}, {129, 31}, {300, 51}, {64, 64}, {5, 33}};
    for (const auto& s : shapes) {
        const int L = s[0], n = s[1];
        MatrixPtr a = Random(L, n, gen);
        MatrixPtr d = Random(L, 1, gen);
        std::vector<double> w(static_cast<std::size_t>(L));
        for (double& v : w) v = std::pow(10.0, spread(gen));
        for (const double* weights :
             {static_cast<const double*>(nullptr), std::as_const(w).data()}) {
            Matrix p, q;
            NormalEquationsInto(*a, weights, *d, p, q);
            ASSERT_EQ(p.rows, static_cast<std::uint32_t>(n));
            ASSERT_EQ(p.cols, static_cast<std::uint32_t>(n));
            ASSERT_EQ(q.rows, static_cast<std::uint32_t>(n));
            for (int i = 0; i < n; ++i) {
                double sum = 0.0, size = 0.0;
                for (int k = 0; k < L; ++k) {
                    const double term = a->data[k][i] * (weights ? w[k] : 1.0) * d->data[k][0];
                    sum += term;
                    size += std::fabs(term);
                }
                ASSERT_NEAR(q.data[i][0], sum, 1e-12 * size) << L << "x" << n << " q " << i;
                for (int j = 0; j < n; ++j) {
                    sum = size = 0.0;
                    for (int k = 0; k < L; ++k) {
                        const double term = a->data[k][i] * (weights ? w[k] : 1.0) * a->data[k][j];
                        sum += term;
                        size += std::fabs(term);
                    }
                    ASSERT_NEAR(p.data[i][j], sum, 1e-12 * size)
                        << L << "x" << n << " at " << i << "," << j;
                    ASSERT_EQ(p.data[i][j], p.data[j][i]) << "not symmetric";
                }
            }
        }

        // y = A x from the packed rows of A.
        std::vector<const double*> rows;
        for (const auto& row : a->data) rows.push_back(row.data());
        const MatrixPtr panels = PackRowPanels(rows, static_cast<std::uint32_t>(n));
        std::vector<double> x(static_cast<std::size_t>(n)), y(static_cast<std::size_t>(L), 7.0);
        for (double& v : x) v = spread(gen);
        MultiplyPanelsVector(*panels, static_cast<std::uint32_t>(L), x.data(), y.data());
        for (int r = 0; r < L; ++r) {
            double sum = 0.0, size = 0.0;
            for (int k = 0; k < n; ++k) {
                sum += a->data[r][k] * x[k];
                size += std::fabs(a->data[r][k] * x[k]);
            }
            ASSERT_NEAR(y[r], sum, 1e-12 * size) << L << "x" << n << " row " << r;
        }
    }
}

TEST(Matrix, InvertWorkedExamples) {
    MatrixPtr swap = NewMatrix(2, 2);
    swap->data = {{0.0, 1.0}, {1.0, 0.0}};
    MatrixPtr inv = Invert(*swap);
    ASSERT_NE(inv, nullptr);
    EXPECT_EQ(inv->data, swap->data);

    MatrixPtr zeroRow = NewMatrix(3, 3);
    zeroRow->data = {{1.0, 2.0, 3.0}, {0.0, 0.0, 0.0}, {4.0, 5.0, 6.0}};
    EXPECT_EQ(Invert(*zeroRow), nullptr);

    MatrixPtr four = NewMatrix(1, 1);
    four->data[0][0] = 4.0;
    inv = Invert(*four);
    ASSERT_NE(inv, nullptr);
    EXPECT_EQ(inv->data[0][0], 0.25);

    MatrixPtr dependent = NewMatrix(2, 2);
    dependent->data = {{1.0, 2.0}, {2.0, 4.0}};
    EXPECT_EQ(Invert(*dependent), nullptr);
}

TEST(Matrix, InvertTimesMatrixIsIdentity) {
    std::mt19937 gen(9);
    for (int n : {2, 5, 17, 40}) {
        MatrixPtr a = Random(n, n, gen);
        MatrixPtr inv = Invert(*a);
        ASSERT_NE(inv, nullptr);
        MatrixPtr id = Multiply(*inv, *a);
        for (int i = 0; i < n; ++i) {
            for (int j = 0; j < n; ++j) {
                EXPECT_NEAR(id->data[i][j], i == j ? 1.0 : 0.0, 1e-9) << n;
            }
        }
    }
}

}  // namespace
}  // namespace tapwright

namespace tapwright {
namespace {

// The elimination as a plain loop, for comparing the pivot choice: the last element
// of equal size in row-major order among unused rows and columns wins.
MatrixPtr PlainInvert(const Matrix& a) {
    const std::uint32_t n = a.rows;
    MatrixPtr b = NewMatrix(static_cast<int>(n), static_cast<int>(n));
    b->data = a.data;
    std::vector<int> use(n, 0);
    std::vector<std::uint32_t> rows(n), cols(n);
    auto& m = b->data;
    for (std::uint32_t i = 0; i < n; ++i) {
        double big = 0.0;
        std::uint32_t row = 0, col = 0;
        for (std::uint32_t r = 0; r < n; ++r) {
            if (use[r] != 0) continue;
            for (std::uint32_t k = 0; k < n; ++k) {
                if (use[k] == 0 && std::fabs(m[r][k]) >= big) {
                    big = std::fabs(m[r][k]);
                    row = r;
                    col = k;
                }
            }
        }
        ++use[col];
        if (row != col) std::swap(m[row], m[col]);
        rows[i] = row;
        cols[i] = col;
        if (m[col][col] == 0.0) return nullptr;
        const double p = 1.0 / m[col][col];
        m[col][col] = 1.0;
        for (double& v : m[col]) v *= p;
        for (std::uint32_t r = 0; r < n; ++r) {
            if (r == col) continue;
            const double d = m[r][col];
            m[r][col] = 0.0;
            for (std::uint32_t k = 0; k < n; ++k) m[r][k] -= d * m[col][k];
        }
    }
    for (std::uint32_t l = n; l-- > 0;) {
        if (rows[l] != cols[l]) {
            for (auto& r : m) std::swap(r[rows[l]], r[cols[l]]);
        }
    }
    return b;
}

TEST(Matrix, InvertPicksTheLastOfEqualPivots) {
    std::mt19937 gen(21);
    std::uniform_int_distribution<int> small(-2, 2);
    int compared = 0;
    for (int trial = 0; trial < 300; ++trial) {
        const int n = 1 + trial % 9;
        MatrixPtr a = NewMatrix(n, n);
        for (auto& row : a->data) {
            for (double& v : row) v = small(gen);
        }
        MatrixPtr fast = Invert(*a);
        MatrixPtr plain = PlainInvert(*a);
        ASSERT_EQ(fast == nullptr, plain == nullptr) << trial;
        if (!fast) continue;
        ++compared;
        for (int i = 0; i < n; ++i) {
            for (int j = 0; j < n; ++j) {
                ASSERT_TRUE(SameBits(fast->data[i][j], plain->data[i][j])) << trial;
            }
        }
    }
    EXPECT_GT(compared, 100);
}

}  // namespace
}  // namespace tapwright
