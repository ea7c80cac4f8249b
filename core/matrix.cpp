#include "core/matrix.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

#include "core/target_clones.h"

namespace tapwright {

namespace {

// Size of the slices of the summation index worked on at once, so the blocks of
// both operands stay in cache.
constexpr std::uint32_t kBlockK = 128;
constexpr std::uint32_t kSliceK = 128;

typedef double Vec2 __attribute__((vector_size(16)));
typedef double Vec4 __attribute__((vector_size(32)));
typedef double Vec8 __attribute__((vector_size(64)));
typedef std::int64_t Vec8i __attribute__((vector_size(64)));

// Unaligned loads and stores of vectors of doubles. They are inlined, so the vector
// argument ABI (-Wpsabi, off for this file) never matters.
template <typename V>
inline __attribute__((always_inline)) V LoadV(const double* from) {
    V v;
    std::memcpy(&v, from, sizeof(V));
    return v;
}

template <typename V>
inline __attribute__((always_inline)) void StoreV(double* to, V v) {
    std::memcpy(to, &v, sizeof(V));
}

inline __attribute__((always_inline)) Vec4 Load(const double* from) {
    return LoadV<Vec4>(from);
}

inline __attribute__((always_inline)) void Store(double* to, Vec4 v) {
    StoreV(to, v);
}

// P += A[:, k0:k1] * B[k0:k1, :], each element's terms added in increasing k.
// Four rows of P and eight columns are accumulated in registers at a time.
TAPWRIGHT_TARGET_CLONES("avx2", "default")
void AccumulateBlock(const Matrix& a, const Matrix& b, Matrix& p, std::uint32_t k0,
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

// |v| of each lane: the sign bit cleared, so -0 gives +0 as fabs does.
inline __attribute__((always_inline)) Vec8 Abs(Vec8 v) {
    return reinterpret_cast<Vec8>(reinterpret_cast<Vec8i>(v) & 0x7fffffffffffffff);
}

// Largest of m and v in each lane, m kept when v is not larger (or is NaN).
inline __attribute__((always_inline)) Vec8 Larger(Vec8 m, Vec8 v) {
    return v > m ? v : m;
}

// The start of a running maximum: -1 in every lane (no NaN, which would stick).
constexpr Vec8 kNothing = {-1.0, -1.0, -1.0, -1.0, -1.0, -1.0, -1.0, -1.0};

inline __attribute__((always_inline)) double LargestLane(Vec8 m, double best) {
    for (int l = 0; l < 8; ++l) best = m[l] > best ? m[l] : best;
    return best;
}

// Row r of the elimination: B(r, col) = 0, then B(r, m) -= d * B(col, m) for every
// column m (col included), d being the old B(r, col). Returns the largest
// |B(r, m)| * mask[m] of the new row, where a NaN mask hides a column, or -1 when
// nothing qualifies. Rows never overlap.
inline __attribute__((always_inline)) double EliminateRow(double* __restrict target,
                                                          const double* __restrict pivot,
                                                          const double* __restrict mask,
                                                          std::uint32_t col, std::uint32_t n) {
    const double d = target[col];
    target[col] = 0.0;
    double best = -1.0;
    if (n < 8) {
        for (std::uint32_t k = 0; k < n; ++k) {
            target[k] -= d * pivot[k];
            const double v = std::fabs(target[k]) * mask[k];
            best = v > best ? v : best;
        }
        return best;
    }
    // The last eight columns as one vector that may overlap the others: worked out
    // from the old values first, it gives the overlapped ones the same results.
    const std::uint32_t last = n - 8;
    const Vec8 tail = LoadV<Vec8>(target + last) - d * LoadV<Vec8>(pivot + last);
    Vec8 largest = Larger(kNothing, Abs(tail) * LoadV<Vec8>(mask + last));
    for (std::uint32_t k = 0; k + 8 <= last; k += 8) {
        const Vec8 t = LoadV<Vec8>(target + k) - d * LoadV<Vec8>(pivot + k);
        StoreV(target + k, t);
        largest = Larger(largest, Abs(t) * LoadV<Vec8>(mask + k));
    }
    for (std::uint32_t k = last / 8 * 8; k < last; ++k) {
        target[k] -= d * pivot[k];
        const double v = std::fabs(target[k]) * mask[k];
        best = v > best ? v : best;
    }
    StoreV(target + last, tail);
    return LargestLane(largest, best);
}

// Largest |row[k]| * mask[k]; a NaN mask hides a column. -1 when nothing qualifies.
inline __attribute__((always_inline)) double LargestMasked(const double* row, const double* mask,
                                                           std::uint32_t n) {
    double best = -1.0;
    if (n < 8) {
        for (std::uint32_t k = 0; k < n; ++k) {
            const double v = std::fabs(row[k]) * mask[k];
            best = v > best ? v : best;
        }
        return best;
    }
    // The last vector may overlap the others; a maximum does not mind.
    Vec8 largest = Larger(kNothing, Abs(LoadV<Vec8>(row + n - 8)) * LoadV<Vec8>(mask + n - 8));
    for (std::uint32_t k = 0; k + 8 <= n; k += 8) {
        largest = Larger(largest, Abs(LoadV<Vec8>(row + k)) * LoadV<Vec8>(mask + k));
    }
    return LargestLane(largest, best);
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

namespace {

// One slice of rows k0 ... k0 + depth - 1 of A added to the normal equations:
// q += A_s^T W_s d_s, and P += A_s^T W_s A_s on the tiles that touch the lower
// triangle.
// The weighted slice is packed per tile of kRows rows (entry k of row i0 + r at
// k * kRows + r of its panel), and the columns of a tile (kVectors vectors wide) row
// after row, so the k loop reads both as streams while the tile is accumulated in
// registers. Each sum runs in increasing k. Rows and columns past the edge are
// summed from zeros and not stored.
template <typename V, std::uint32_t kRows, std::uint32_t kVectors>
inline __attribute__((always_inline)) void NormalSlice(const Matrix& a, const double* w,
                                                       const Matrix& d, std::uint32_t k0,
                                                       std::uint32_t depth, Matrix& p, Matrix& q) {
    constexpr std::uint32_t kLanes = sizeof(V) / sizeof(double);
    constexpr std::uint32_t kCols = kVectors * kLanes;
    const std::uint32_t n = a.cols;
    const std::uint32_t panelCount = (n + kRows - 1) / kRows;
    const std::size_t panelSize = static_cast<std::size_t>(depth) * kRows;
    thread_local std::vector<double> weighted;
    thread_local std::vector<double> packed;
    thread_local std::vector<double> sums;
    weighted.resize(panelSize * panelCount);
    packed.resize(static_cast<std::size_t>(depth) * kCols);
    sums.assign(static_cast<std::size_t>(panelCount) * kRows, 0.0);
    for (std::uint32_t i = 0; i < n; ++i) sums[i] = q.data[i][0];
    // The weighted rows, and q += A_s^T W_s d_s as they are made.
    for (std::uint32_t k = 0; k < depth; ++k) {
        const double* from = a.data[k0 + k].data();
        const double wk = w ? w[k0 + k] : 1.0;  // exact for 1
        const double dk = d.data[k0 + k][0];
        double* to = weighted.data() + static_cast<std::size_t>(k) * kRows;
        double* sum = sums.data();
        const std::uint32_t whole = n / kRows;
        for (std::uint32_t t = 0; t < whole; ++t, to += panelSize, from += kRows, sum += kRows) {
#pragma GCC unroll 16
            for (std::uint32_t r = 0; r < kRows; ++r) {
                to[r] = from[r] * wk;
                sum[r] += to[r] * dk;
            }
        }
        if (whole < panelCount) {
            for (std::uint32_t r = 0; r < kRows; ++r) {
                to[r] = r < n % kRows ? from[r] * wk : 0.0;
                sum[r] += to[r] * dk;
            }
        }
    }
    for (std::uint32_t i = 0; i < n; ++i) q.data[i][0] = sums[i];
    for (std::uint32_t j0 = 0; j0 < n; j0 += kCols) {
        const std::uint32_t cols = std::min(kCols, n - j0);
        for (std::uint32_t k = 0; k < depth; ++k) {
            double* to = packed.data() + static_cast<std::size_t>(k) * kCols;
            const double* from = a.data[k0 + k].data() + j0;
            if (cols == kCols) {
                for (std::uint32_t v = 0; v < kVectors; ++v) {
                    StoreV(to + v * kLanes, LoadV<V>(from + v * kLanes));
                }
            } else {
                for (std::uint32_t c = 0; c < kCols; ++c) to[c] = c < cols ? from[c] : 0.0;
            }
        }
        // Tiles start on a panel of rows; the first may reach above the diagonal.
        for (std::uint32_t i0 = j0 / kRows * kRows; i0 < n; i0 += kRows) {
            const std::uint32_t rows = std::min(kRows, n - i0);
            const bool whole = rows == kRows && cols == kCols;
            double tile[kRows][kCols];
            double* out[kRows];
            for (std::uint32_t r = 0; r < kRows; ++r) {
                out[r] = whole ? p.data[i0 + r].data() + j0 : tile[r];
                if (!whole) {
                    for (std::uint32_t c = 0; c < kCols; ++c) {
                        tile[r][c] = r < rows && c < cols ? p.data[i0 + r][j0 + c] : 0.0;
                    }
                }
            }
            V acc[kRows][kVectors];
#pragma GCC unroll 16
            for (std::uint32_t r = 0; r < kRows; ++r) {
#pragma GCC unroll 4
                for (std::uint32_t v = 0; v < kVectors; ++v) {
                    acc[r][v] = LoadV<V>(out[r] + v * kLanes);
                }
            }
            const double* ak = weighted.data() + (i0 / kRows) * panelSize;
            const double* bk = packed.data();
            for (std::uint32_t k = 0; k < depth; ++k, ak += kRows, bk += kCols) {
                V b[kVectors];
#pragma GCC unroll 4
                for (std::uint32_t v = 0; v < kVectors; ++v) b[v] = LoadV<V>(bk + v * kLanes);
#pragma GCC unroll 16
                for (std::uint32_t r = 0; r < kRows; ++r) {
#pragma GCC unroll 4
                    for (std::uint32_t v = 0; v < kVectors; ++v) acc[r][v] += ak[r] * b[v];
                }
            }
#pragma GCC unroll 16
            for (std::uint32_t r = 0; r < kRows; ++r) {
#pragma GCC unroll 4
                for (std::uint32_t v = 0; v < kVectors; ++v) StoreV(out[r] + v * kLanes, acc[r][v]);
            }
            if (!whole) {
                for (std::uint32_t r = 0; r < rows; ++r) {
                    for (std::uint32_t c = 0; c < cols; ++c) p.data[i0 + r][j0 + c] = tile[r][c];
                }
            }
        }
    }
}

using NormalSliceFn = void (*)(const Matrix&, const double*, const Matrix&, std::uint32_t,
                               std::uint32_t, Matrix&, Matrix&);

__attribute__((target("avx512f"))) void NormalSliceAvx512(const Matrix& a, const double* w,
                                                          const Matrix& d, std::uint32_t k0,
                                                          std::uint32_t depth, Matrix& p,
                                                          Matrix& q) {
    // Small matrices waste less of their tiles on the upper triangle in squares.
    if (a.cols <= 32) {
        NormalSlice<Vec8, 8, 1>(a, w, d, k0, depth, p, q);
    } else {
        NormalSlice<Vec8, 6, 2>(a, w, d, k0, depth, p, q);
    }
}

__attribute__((target("avx2"))) void NormalSliceAvx2(const Matrix& a, const double* w,
                                                     const Matrix& d, std::uint32_t k0,
                                                     std::uint32_t depth, Matrix& p, Matrix& q) {
    NormalSlice<Vec4, 4, 2>(a, w, d, k0, depth, p, q);
}

void NormalSlicePlain(const Matrix& a, const double* w, const Matrix& d, std::uint32_t k0,
                      std::uint32_t depth, Matrix& p, Matrix& q) {
    NormalSlice<Vec2, 4, 2>(a, w, d, k0, depth, p, q);
}

}  // namespace

void NormalEquationsInto(const Matrix& a, const double* w, const Matrix& d, Matrix& p, Matrix& q) {
    static const NormalSliceFn slice = [] {
        __builtin_cpu_init();
        if (__builtin_cpu_supports("avx512f")) return &NormalSliceAvx512;
        if (__builtin_cpu_supports("avx2")) return &NormalSliceAvx2;
        return &NormalSlicePlain;
    }();
    const std::uint32_t n = a.cols;
    Reshape(p, n, n);
    Reshape(q, n, 1);
    for (auto& row : p.data) std::fill(row.begin(), row.end(), 0.0);
    for (auto& row : q.data) row[0] = 0.0;
    for (std::uint32_t k0 = 0; k0 < a.rows; k0 += kSliceK) {
        slice(a, w, d, k0, std::min(a.rows - k0, kSliceK), p, q);
    }
    for (std::uint32_t i = 0; i < n; ++i) {
        for (std::uint32_t j = i + 1; j < n; ++j) p.data[i][j] = p.data[j][i];
    }
}

MatrixPtr PackRowPanels(const std::vector<const double*>& rows, std::uint32_t n) {
    const std::uint32_t count = static_cast<std::uint32_t>(rows.size());
    MatrixPtr panels = NewMatrix(static_cast<int>((count + kPanelRows - 1) / kPanelRows),
                                 static_cast<int>(n * kPanelRows));
    for (std::uint32_t r = 0; r < count; ++r) {
        double* to = panels->data[r / kPanelRows].data() + r % kPanelRows;
        for (std::uint32_t k = 0; k < n; ++k) to[k * kPanelRows] = rows[r][k];
    }
    return panels;
}

TAPWRIGHT_TARGET_CLONES("avx512f", "avx2", "default")
void MultiplyPanelsVector(const Matrix& panels, std::uint32_t m, const double* x, double* y) {
    constexpr std::uint32_t kVectors = kPanelRows / 4;
    const std::uint32_t n = panels.cols / kPanelRows;
    for (std::uint32_t p = 0; p < panels.rows; ++p) {
        // The sums of a panel stay in registers while k runs.
        const double* from = panels.data[p].data();
        Vec4 s[kVectors] = {};
        for (std::uint32_t k = 0; k < n; ++k, from += kPanelRows) {
            const double xk = x[k];
#pragma GCC unroll 8
            for (std::uint32_t v = 0; v < kVectors; ++v) s[v] += Load(from + 4 * v) * xk;
        }
        double sums[kPanelRows];
#pragma GCC unroll 8
        for (std::uint32_t v = 0; v < kVectors; ++v) Store(sums + 4 * v, s[v]);
        const std::uint32_t r0 = p * kPanelRows;
        for (std::uint32_t l = 0; l < kPanelRows && r0 + l < m; ++l) y[r0 + l] = sums[l];
    }
}

TAPWRIGHT_TARGET_CLONES("avx512f", "avx2", "default")
MatrixPtr Invert(const Matrix& a, std::vector<double>* pivots) {
    const std::uint32_t n = a.rows;
    MatrixPtr b = NewMatrix(static_cast<int>(n), static_cast<int>(n));
    for (std::uint32_t i = 0; i < n; ++i) b->data[i] = a.data[i];
    std::vector<int> pivotUse(n, 0);
    std::vector<std::uint32_t> pivotRow(n, 0);
    std::vector<std::uint32_t> pivotCol(n, 0);
    std::vector<double> columnMask(n, 1.0);
    // Largest size among the unused columns of each unused row (-1 for used rows),
    // kept up to date by the elimination.
    std::vector<double> rowMax(n);
    auto& m = b->data;
    for (std::uint32_t r = 0; r < n; ++r) {
        rowMax[r] = LargestMasked(m[r].data(), columnMask.data(), n);
    }

    for (std::uint32_t i = 0; i < n; ++i) {
        // The pivot is the last element, scanning rows and then columns in order, whose
        // size is >= every size before it among the unused rows and columns: that is
        // the last element of the largest size (NaNs never qualify). The largest size
        // is found first, row by row, then its last position.
        double big = -1.0;
        for (std::uint32_t r = 0; r < n; ++r) big = rowMax[r] > big ? rowMax[r] : big;
        std::uint32_t row = 0;
        std::uint32_t col = 0;
        if (big >= 0.0) {
            row = n - 1;
            while (rowMax[row] != big) --row;
            col = n - 1;
            while (!(columnMask[col] == 1.0 && std::fabs(m[row][col]) == big)) --col;
        }
        ++pivotUse[col];
        columnMask[col] = kNaN;
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
            if (r == col) continue;
            const double largest =
                EliminateRow(m[r].data(), m[col].data(), columnMask.data(), col, n);
            rowMax[r] = pivotUse[r] == 0 ? largest : -1.0;
        }
        rowMax[col] = -1.0;
    }
    for (std::uint32_t l = n; l-- > 0;) {
        if (pivotRow[l] != pivotCol[l]) {
            for (std::uint32_t r = 0; r < n; ++r) std::swap(m[r][pivotRow[l]], m[r][pivotCol[l]]);
        }
    }
    return b;
}

}  // namespace tapwright
