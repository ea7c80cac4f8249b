#include "core/matrix.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace tapwright {

namespace {

// Size of the slices of the summation index worked on at once, so the blocks of
// both operands stay in cache.
constexpr std::uint32_t kBlockK = 128;

typedef double Vec4 __attribute__((vector_size(32)));

// P += A[:, k0:k1] * B[k0:k1, :], each element's terms added in increasing k.
// Four rows of P and eight columns are accumulated in registers at a time.
__attribute__((target_clones("avx2", "default"))) void AccumulateBlock(const Matrix& a,
                                                                       const Matrix& b, Matrix& p,
                                                                       std::uint32_t k0,
                                                                       std::uint32_t k1) {
    const std::uint32_t n = p.rows;
    const std::uint32_t m = p.cols;
    const std::uint32_t m8 = m - m % 8;
    for (std::uint32_t j0 = 0; j0 < m8; j0 += 8) {
        std::uint32_t i0 = 0;
        for (; i0 + 4 <= n; i0 += 4) {
            Vec4 acc[4][2];
            for (int r = 0; r < 4; ++r) {
                std::memcpy(&acc[r][0], p.data[i0 + r].data() + j0, sizeof(Vec4));
                std::memcpy(&acc[r][1], p.data[i0 + r].data() + j0 + 4, sizeof(Vec4));
            }
            const double* a0 = a.data[i0].data();
            const double* a1 = a.data[i0 + 1].data();
            const double* a2 = a.data[i0 + 2].data();
            const double* a3 = a.data[i0 + 3].data();
            for (std::uint32_t k = k0; k < k1; ++k) {
                Vec4 b0, b1;
                std::memcpy(&b0, b.data[k].data() + j0, sizeof(Vec4));
                std::memcpy(&b1, b.data[k].data() + j0 + 4, sizeof(Vec4));
                const Vec4 s0 = {a0[k], a0[k], a0[k], a0[k]};
                const Vec4 s1 = {a1[k], a1[k], a1[k], a1[k]};
                const Vec4 s2 = {a2[k], a2[k], a2[k], a2[k]};
                const Vec4 s3 = {a3[k], a3[k], a3[k], a3[k]};
                acc[0][0] += s0 * b0;
                acc[0][1] += s0 * b1;
                acc[1][0] += s1 * b0;
                acc[1][1] += s1 * b1;
                acc[2][0] += s2 * b0;
                acc[2][1] += s2 * b1;
                acc[3][0] += s3 * b0;
                acc[3][1] += s3 * b1;
            }
            for (int r = 0; r < 4; ++r) {
                std::memcpy(p.data[i0 + r].data() + j0, &acc[r][0], sizeof(Vec4));
                std::memcpy(p.data[i0 + r].data() + j0 + 4, &acc[r][1], sizeof(Vec4));
            }
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
    // Columns left over from the blocks of eight.
    for (std::uint32_t i = 0; i < n; ++i) {
        const double* ar = a.data[i].data();
        for (std::uint32_t j = m8; j < m; ++j) {
            double sum = p.data[i][j];
            for (std::uint32_t k = k0; k < k1; ++k) sum += ar[k] * b.data[k][j];
            p.data[i][j] = sum;
        }
    }
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

MatrixPtr Multiply(const Matrix& a, const Matrix& b) {
    MatrixPtr p = NewMatrix(static_cast<int>(a.rows), static_cast<int>(b.cols));
    // Every sum starts from +0.0, as the zero-filled result holds.
    for (std::uint32_t k0 = 0; k0 < a.cols; k0 += kBlockK) {
        AccumulateBlock(a, b, *p, k0, std::min(a.cols, k0 + kBlockK));
    }
    return p;
}

MatrixPtr MultiplyDiagonal(const Matrix& a, const std::vector<double>& w) {
    MatrixPtr p = NewMatrix(static_cast<int>(a.rows), static_cast<int>(a.cols));
    for (std::uint32_t i = 0; i < a.rows; ++i) {
        for (std::uint32_t r = 0; r < a.cols; ++r) {
            // The full sum adds only signed zeros besides this one product, so a zero
            // product comes out as +0.0.
            const double product = a.data[i][r] * w[r];
            p->data[i][r] = product == 0.0 ? 0.0 : product;
        }
    }
    return p;
}

MatrixPtr Invert(const Matrix& a) {
    const std::uint32_t n = a.rows;
    MatrixPtr b = NewMatrix(static_cast<int>(n), static_cast<int>(n));
    for (std::uint32_t i = 0; i < n; ++i) b->data[i] = a.data[i];
    std::vector<int> pivotUse(n, 0);
    std::vector<std::uint32_t> pivotRow(n, 0);
    std::vector<std::uint32_t> pivotCol(n, 0);
    auto& m = b->data;

    for (std::uint32_t i = 0; i < n; ++i) {
        double big = 0.0;
        std::uint32_t row = 0;
        std::uint32_t col = 0;
        for (std::uint32_t r = 0; r < n; ++r) {
            if (pivotUse[r] != 0) continue;
            for (std::uint32_t k = 0; k < n; ++k) {
                // Greater-or-equal: of equal candidates the last one scanned wins.
                if (pivotUse[k] == 0 && std::fabs(m[r][k]) >= big) {
                    big = std::fabs(m[r][k]);
                    row = r;
                    col = k;
                }
            }
        }
        ++pivotUse[col];
        if (row != col) {
            for (std::uint32_t k = 0; k < n; ++k) std::swap(m[row][k], m[col][k]);
        }
        pivotRow[i] = row;
        pivotCol[i] = col;
        if (m[col][col] == 0.0) return nullptr;  // only an exact zero counts as singular

        const double p = 1.0 / m[col][col];
        m[col][col] = 1.0;
        for (std::uint32_t k = 0; k < n; ++k) m[col][k] *= p;

        const double* pivot = m[col].data();
        for (std::uint32_t r = 0; r < n; ++r) {
            if (r == col) continue;
            double* target = m[r].data();
            const double d = target[col];
            target[col] = 0.0;
            for (std::uint32_t k = 0; k < n; ++k) target[k] -= d * pivot[k];
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
