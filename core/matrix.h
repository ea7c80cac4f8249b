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

// P = A * diag(w), w holding A.cols weights. The result equals Multiply(A, W) for
// the full diagonal matrix W with the same summation order, at O(rows * cols) cost.
MatrixPtr MultiplyDiagonal(const Matrix& a, const std::vector<double>& w);
void MultiplyDiagonalInto(const Matrix& a, const std::vector<double>& w, Matrix& p);

// A^-1 by Gauss-Jordan elimination with full pivoting, or nothing when a pivot is
// exactly zero (A singular). A must be square. With `pivots`, the magnitude of each
// pivot is appended to it in the order of elimination; the largest over the
// smallest estimates the condition number of A.
MatrixPtr Invert(const Matrix& a, std::vector<double>* pivots = nullptr);

}  // namespace tapwright
