#include "core/matrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

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
// blocks of four rows, eight columns and 128 summation steps.
TEST(Matrix, MultiplyMatchesPlainSumBitForBit) {
    std::mt19937 gen(11);
    const int shapes[][3] = {{1, 1, 1},    {3, 5, 2},     {4, 8, 8},    {5, 9, 13},   {7, 130, 3},
                             {8, 129, 17}, {13, 300, 51}, {16, 257, 1}, {51, 64, 51}, {6, 1, 12}};
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

TEST(Matrix, MultiplyDiagonalMatchesFullDiagonalProduct) {
    std::mt19937 gen(5);
    MatrixPtr a = Random(6, 37, gen);
    a->data[1][2] = -0.5;
    a->data[2][3] = -1.0;
    std::vector<double> w(37);
    std::uniform_real_distribution<double> u(0.0, 3.0);
    for (double& v : w) v = u(gen);
    w[2] = 0.0;  // -0.5 * 0 is -0.0 alone, +0.0 in the full sum
    w[3] = 1e-300;
    MatrixPtr full = NewMatrix(37, 37);
    for (int r = 0; r < 37; ++r) full->data[r][r] = w[r];
    MatrixPtr expected = Multiply(*a, *full);
    MatrixPtr fast = MultiplyDiagonal(*a, w);
    for (int i = 0; i < 6; ++i) {
        for (int r = 0; r < 37; ++r) {
            ASSERT_TRUE(SameBits(expected->data[i][r], fast->data[i][r])) << i << "," << r;
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
