#pragma once

// Dense real matrices for the least-squares solves of the equiripple design.
// Element (i, j) is row i, column j; every row is its own zero-filled block.

#include <cstdint>
#include <memory>
#include <vector>

namespace tapwright {

struct Matrix {
    std::uint32_t rows = 0;
    std::uint32_t cols = 0;
    std::vector<std::vector<double>> data;

    double& operator()(std::uint32_t i, std::uint32_t j) { return data[i][j]; }
    double operator()(std::uint32_t i, std::uint32_t j) const { return data[i][j]; }
};

using MatrixPtr = std::unique_ptr<Matrix>;

// A rows x cols matrix of zeros. Negative sizes count as 0.
MatrixPtr NewMatrix(int rows, int cols);

// Releases the matrix; does nothing when given nothing.
void FreeMatrix(MatrixPtr& matrix);

// The cols x rows transpose of A.
MatrixPtr Transpose(const Matrix& a);

// P = A * B (A.rows x B.cols). Each element is summed from 0 over k = 0, 1, ...
// A.cols - 1 in that order, exactly as a plain triple loop would; the blocking
// inside only changes which elements are worked on together. A.cols must equal
// B.rows.
MatrixPtr Multiply(const Matrix& a, const Matrix& b);

// The same product into `p`, reusing its storage (p must not be a or b).
void MultiplyInto(const Matrix& a, const Matrix& b, Matrix& p);

// The normal equations of the least-squares fit A x = d with weights w: P = A^T W A
// (n x n) and q = A^T W d (n x 1), W = diag(w), for the L x n matrix A and d (L x 1).
// `w` holds L weights, or is null for the identity. Each element sums the terms
// (A(k, i) * w(k)) * A(k, j), or * d(k), over k = 0 ... L - 1. Only the lower
// triangle of P is summed; the upper one is its mirror, so P is exactly symmetric.
// P and q reuse their storage.
void NormalEquationsInto(const Matrix& a, const double* w, const Matrix& d, Matrix& p, Matrix& q);

// Rows of a matrix packed for MultiplyPanelsVector: row p of the result holds the
// n entries of rows 32p ... 32p + 31 interleaved, entry k of row 32p + l at
// k * 32 + l (zeros past the last row).
inline constexpr std::uint32_t kPanelRows = 32;
MatrixPtr PackRowPanels(const std::vector<const double*>& rows, std::uint32_t n);

// y = A x for the m x n matrix A packed by PackRowPanels, x holding n entries and y
// m entries: y(r) = sum of A(r, k) * x(k) over k = 0 ... n - 1.
void MultiplyPanelsVector(const Matrix& panels, std::uint32_t m, const double* x, double* y);

// A^-1 by Gauss-Jordan elimination with full pivoting, or nothing when a pivot is
// exactly zero (A singular). A must be square. With `pivots`, the magnitude of each
// pivot is appended to it in the order of elimination; the largest over the
// smallest estimates the condition number of A.
MatrixPtr Invert(const Matrix& a, std::vector<double>* pivots = nullptr);

}  // namespace tapwright
