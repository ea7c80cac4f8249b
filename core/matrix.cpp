#include "core/matrix.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

namespace tapwright {

namespace {

// Size of the slices of the summation index worked on at once, so the blocks of
// both operands stay in cache.
constexpr std::uint32_t kBlockK = 128;

typedef double Vec4 __attribute__((vector_size(32)));

// Unaligned loads and stores of four doubles. They are inlined, so the vector
// argument ABI (-Wpsabi, off for this file) never matters.
inline __attribute__((always_inline)) Vec4 Load(const double* from) {
    Vec4 v;
    std::memcpy(&v, from, sizeof(Vec4));
    return v;
}

inline __attribute__((always_inline)) void Store(double* to, Vec4 v) {
    std::memcpy(to, &v, sizeof(Vec4));
}

// P += A[:, k0:k1] * B[k0:k1, :], each element's terms added in increasing k.
// Four rows of P and eight columns are accumulated in registers at a time.
__attribute__((target_clones("avx2", "default"))) void AccumulateBlock(const Matrix& a,
                                                                       const Matrix& b, Matrix& p,
                                                                       std::uint32_t k0,
                                                                       std::uint32_t k1) {
    const std::uint32_t n = p.rows;
    const std::uint32_t m = p.cols;
    const std::uint32_t m8 = m - m % 8;
    // The block of B for eight columns, packed row after row so the k loop reads it
    // as one stream.
    thread_local std::vector<double> packed;
    packed.resize(static_cast<std::size_t>(k1 - k0) * 8);
    for (std::uint32_t j0 = 0; j0 < m8; j0 += 8) {
        for (std::uint32_t k = k0; k < k1; ++k) {
            std::memcpy(packed.data() + (k - k0) * 8, b.data[k].data() + j0, 8 * sizeof(double));
        }
        const double* pb = packed.data() - static_cast<std::size_t>(k0) * 8;
        std::uint32_t i0 = 0;
        for (; i0 + 4 <= n; i0 += 4) {
            // Named accumulators, so they stay in registers across the k loop.
            double* p0 = p.data[i0].data() + j0;
            double* p1 = p.data[i0 + 1].data() + j0;
            double* p2 = p.data[i0 + 2].data() + j0;
            double* p3 = p.data[i0 + 3].data() + j0;
            Vec4 c00 = Load(p0), c01 = Load(p0 + 4), c10 = Load(p1), c11 = Load(p1 + 4);
            Vec4 c20 = Load(p2), c21 = Load(p2 + 4), c30 = Load(p3), c31 = Load(p3 + 4);
            const double* a0 = a.data[i0].data();
            const double* a1 = a.data[i0 + 1].data();
            const double* a2 = a.data[i0 + 2].data();
            const double* a3 = a.data[i0 + 3].data();
            for (std::uint32_t k = k0; k < k1; ++k) {
                const double* bk = pb + static_cast<std::size_t>(k) * 8;
                const Vec4 b0 = Load(bk);
                const Vec4 b1 = Load(bk + 4);
                const Vec4 s0 = {a0[k], a0[k], a0[k], a0[k]};
                const Vec4 s1 = {a1[k], a1[k], a1[k], a1[k]};
                const Vec4 s2 = {a2[k], a2[k], a2[k], a2[k]};
                const Vec4 s3 = {a3[k], a3[k], a3[k], a3[k]};
                c00 += s0 * b0;
                c01 += s0 * b1;
                c10 += s1 * b0;
                c11 += s1 * b1;
                c20 += s2 * b0;
                c21 += s2 * b1;
                c30 += s3 * b0;
                c31 += s3 * b1;
            }
            Store(p0, c00);
            Store(p0 + 4, c01);
            Store(p1, c10);
            Store(p1 + 4, c11);
            Store(p2, c20);
            Store(p2 + 4, c21);
            Store(p3, c30);
            Store(p3 + 4, c31);
        }
        for (; i0 < n; ++i0) {
            Vec4 acc0, acc1;
            std::memcpy(&acc0, p.data[i0].data() + j0, sizeof(Vec4));
            std::memcpy(&acc1, p.data[i0].data() + j0 + 4, sizeof(Vec4));
            const double* ar = a.data[i0].data();
            for (std::uint32_t k = k0; k < k1; ++k) {
                Vec4 b0, b1;
                std::memcpy(&b0, b.data[k].data() + j0, sizeof(Vec4));
                std::memcpy(&b1, b.data[k].data() + j0 + 4, sizeof(Vec4));
                const Vec4 s = {ar[k], ar[k], ar[k], ar[k]};
                acc0 += s * b0;
                acc1 += s * b1;
            }
            std::memcpy(p.data[i0].data() + j0, &acc0, sizeof(Vec4));
            std::memcpy(p.data[i0].data() + j0 + 4, &acc1, sizeof(Vec4));
        }
    }
    // Columns left over from the blocks of eight: four rows at a time in one vector,
    // up to four columns side by side, so independent sums overlap.
    const std::uint32_t n4 = n - n % 4;
    for (std::uint32_t j0 = m8; j0 < m; j0 += 4) {
        const std::uint32_t count = std::min<std::uint32_t>(4, m - j0);
        for (std::uint32_t i0 = 0; i0 < n4; i0 += 4) {
            const double* a0 = a.data[i0].data();
            const double* a1 = a.data[i0 + 1].data();
            const double* a2 = a.data[i0 + 2].data();
            const double* a3 = a.data[i0 + 3].data();
            Vec4 t[4] = {};
            for (std::uint32_t c = 0; c < count; ++c) {
                t[c] = Vec4{p.data[i0][j0 + c], p.data[i0 + 1][j0 + c], p.data[i0 + 2][j0 + c],
                            p.data[i0 + 3][j0 + c]};
            }
            Vec4 t0 = t[0], t1 = t[1], t2 = t[2], t3 = t[3];
            for (std::uint32_t k = k0; k < k1; ++k) {
                const Vec4 s = {a0[k], a1[k], a2[k], a3[k]};
                const double* bk = b.data[k].data() + j0;
                t0 += s * Vec4{bk[0], bk[0], bk[0], bk[0]};
                if (count > 1) t1 += s * Vec4{bk[1], bk[1], bk[1], bk[1]};
                if (count > 2) t2 += s * Vec4{bk[2], bk[2], bk[2], bk[2]};
                if (count > 3) t3 += s * Vec4{bk[3], bk[3], bk[3], bk[3]};
            }
            t[0] = t0;
            t[1] = t1;
            t[2] = t2;
            t[3] = t3;
            for (std::uint32_t c = 0; c < count; ++c) {
                for (std::uint32_t r = 0; r < 4; ++r) p.data[i0 + r][j0 + c] = t[c][r];
            }
        }
        for (std::uint32_t i = n4; i < n; ++i) {
            const double* ar = a.data[i].data();
            for (std::uint32_t j = j0; j < j0 + count; ++j) {
                double sum = p.data[i][j];
                for (std::uint32_t k = k0; k < k1; ++k) sum += ar[k] * b.data[k][j];
                p.data[i][j] = sum;
            }
        }
    }
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Largest |row[k]| * mask[k]; a NaN mask hides a column. -1 when nothing qualifies.
double LargestMasked(const double* row, const double* mask, std::uint32_t n) {
    double m0 = -1.0, m1 = -1.0, m2 = -1.0, m3 = -1.0;
    std::uint32_t k = 0;
    for (; k + 4 <= n; k += 4) {
        const double v0 = std::fabs(row[k]) * mask[k];
        const double v1 = std::fabs(row[k + 1]) * mask[k + 1];
        const double v2 = std::fabs(row[k + 2]) * mask[k + 2];
        const double v3 = std::fabs(row[k + 3]) * mask[k + 3];
        m0 = v0 > m0 ? v0 : m0;
        m1 = v1 > m1 ? v1 : m1;
        m2 = v2 > m2 ? v2 : m2;
        m3 = v3 > m3 ? v3 : m3;
    }
    for (; k < n; ++k) {
        const double v = std::fabs(row[k]) * mask[k];
        m0 = v > m0 ? v : m0;
    }
    m0 = m1 > m0 ? m1 : m0;
    m2 = m3 > m2 ? m3 : m2;
    return m2 > m0 ? m2 : m0;
}

// Row r of the elimination: B(r, col) = 0, then B(r, m) -= d * B(col, m) for every
// column m (col included), d being the old B(r, col). Rows never overlap.
void EliminateRow(double* __restrict target, const double* __restrict pivot, std::uint32_t col,
                  std::uint32_t n) {
    const double d = target[col];
    target[col] = 0.0;
    for (std::uint32_t k = 0; k < n; ++k) target[k] -= d * pivot[k];
}

}  // namespace

MatrixPtr NewMatrix(int rows, int cols) {
    auto m = std::make_unique<Matrix>();
    m->rows = static_cast<std::uint32_t>(std::max(rows, 0));
    m->cols = static_cast<std::uint32_t>(std::max(cols, 0));
    m->data.assign(m->rows, std::vector<double>(m->cols, 0.0));
    return m;
}

void FreeMatrix(MatrixPtr& matrix) {
    matrix.reset();
}

MatrixPtr Transpose(const Matrix& a) {
    MatrixPtr t = NewMatrix(static_cast<int>(a.cols), static_cast<int>(a.rows));
    for (std::uint32_t i = 0; i < a.rows; ++i) {
        for (std::uint32_t j = 0; j < a.cols; ++j) t->data[j][i] = a.data[i][j];
    }
    return t;
}

namespace {

// Gives `m` the shape rows x cols, keeping its row blocks where they fit.
void Reshape(Matrix& m, std::uint32_t rows, std::uint32_t cols) {
    m.rows = rows;
    m.cols = cols;
    m.data.resize(rows);
    for (auto& row : m.data) row.resize(cols);
}

}  // namespace

void MultiplyInto(const Matrix& a, const Matrix& b, Matrix& p) {
    Reshape(p, a.rows, b.cols);
    // Every sum starts from +0.0.
    for (auto& row : p.data) std::fill(row.begin(), row.end(), 0.0);
    for (std::uint32_t k0 = 0; k0 < a.cols; k0 += kBlockK) {
        AccumulateBlock(a, b, p, k0, std::min(a.cols, k0 + kBlockK));
    }
}

MatrixPtr Multiply(const Matrix& a, const Matrix& b) {
    auto p = std::make_unique<Matrix>();
    MultiplyInto(a, b, *p);
    return p;
}

void MultiplyDiagonalInto(const Matrix& a, const std::vector<double>& w, Matrix& p) {
    Reshape(p, a.rows, a.cols);
    for (std::uint32_t i = 0; i < a.rows; ++i) {
        const double* in = a.data[i].data();
        double* out = p.data[i].data();
        for (std::uint32_t r = 0; r < a.cols; ++r) {
            // The full sum adds only signed zeros besides this one product; adding +0.0
            // gives the same result (a zero product comes out as +0.0).
            out[r] = in[r] * w[r] + 0.0;
        }
    }
}

MatrixPtr MultiplyDiagonal(const Matrix& a, const std::vector<double>& w) {
    auto p = std::make_unique<Matrix>();
    MultiplyDiagonalInto(a, w, *p);
    return p;
}

MatrixPtr Invert(const Matrix& a, std::vector<double>* pivots) {
    const std::uint32_t n = a.rows;
    MatrixPtr b = NewMatrix(static_cast<int>(n), static_cast<int>(n));
    for (std::uint32_t i = 0; i < n; ++i) b->data[i] = a.data[i];
    std::vector<int> pivotUse(n, 0);
    std::vector<std::uint32_t> pivotRow(n, 0);
    std::vector<std::uint32_t> pivotCol(n, 0);
    std::vector<double> columnMask(n);
    std::vector<double> rowMax(n);
    auto& m = b->data;

    for (std::uint32_t i = 0; i < n; ++i) {
        // The pivot is the last element, scanning rows and then columns in order, whose
        // size is >= every size before it among the unused rows and columns: that is
        // the last element of the largest size (NaNs never qualify). The largest size
        // is found first, row by row, then its last position.
        for (std::uint32_t k = 0; k < n; ++k) columnMask[k] = pivotUse[k] == 0 ? 1.0 : kNaN;
        double big = -1.0;
        for (std::uint32_t r = 0; r < n; ++r) {
            rowMax[r] = -1.0;
            if (pivotUse[r] != 0) continue;
            rowMax[r] = LargestMasked(m[r].data(), columnMask.data(), n);
            big = rowMax[r] > big ? rowMax[r] : big;
        }
        std::uint32_t row = 0;
        std::uint32_t col = 0;
        if (big >= 0.0) {
            row = n - 1;
            while (rowMax[row] != big) --row;
            col = n - 1;
            while (!(columnMask[col] == 1.0 && std::fabs(m[row][col]) == big)) --col;
        }
        ++pivotUse[col];
        if (row != col) {
            for (std::uint32_t k = 0; k < n; ++k) std::swap(m[row][k], m[col][k]);
        }
        pivotRow[i] = row;
        pivotCol[i] = col;
        if (m[col][col] == 0.0) return nullptr;  // only an exact zero counts as singular
        if (pivots) pivots->push_back(std::fabs(m[col][col]));

        const double p = 1.0 / m[col][col];
        m[col][col] = 1.0;
        for (std::uint32_t k = 0; k < n; ++k) m[col][k] *= p;

        for (std::uint32_t r = 0; r < n; ++r) {
            if (r != col) EliminateRow(m[r].data(), m[col].data(), col, n);
        }
    }
    for (std::uint32_t l = n; l-- > 0;) {
        if (pivotRow[l] != pivotCol[l]) {
            for (std::uint32_t r = 0; r < n; ++r) std::swap(m[r][pivotRow[l]], m[r][pivotCol[l]]);
        }
    }
    return b;
}

}  // namespace tapwright
