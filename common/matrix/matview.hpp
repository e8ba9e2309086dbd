// Column-major matrices and vectors with 1-based indexing.
//
// Every matrix of the suite is stored column by column with a leading dimension LD: element (i, j)
// is element LD*(j-1) + i of the storage, counting from 1. A view is a pointer plus that leading
// dimension; the fixed-capacity arrays below own the storage. Only the leading n x n part of a
// matrix is used by a routine that is given the order n.
#pragma once

#include <array>
#include <cassert>

namespace flownet {

// A view of a column-major matrix: A(i, j), 1-based, rows 1..ld.
template <typename Real>
struct BasicMatView {
    Real* data = nullptr;
    int ld = 0;    // leading dimension: number of rows of the storage
    int cols = 0;  // number of columns of the storage (for bounds checks only)

    Real& operator()(int i, int j) const {
        assert(i >= 1 && i <= ld && j >= 1 && j <= cols);
        return data[static_cast<long>(ld) * (j - 1) + (i - 1)];
    }
    // A read-only view of the same storage.
    operator BasicMatView<const Real>() const { return {data, ld, cols}; }
};

using MatView = BasicMatView<float>;
using ConstMatView = BasicMatView<const float>;

// A view of a vector: v(i), 1-based, entries 1..size.
template <typename Real>
struct BasicVecView {
    Real* data = nullptr;
    int size = 0;

    Real& operator()(int i) const {
        assert(i >= 1 && i <= size);
        return data[i - 1];
    }
    operator BasicVecView<const Real>() const { return {data, size}; }
};

using VecView = BasicVecView<float>;
using ConstVecView = BasicVecView<const float>;

// Fixed-capacity matrix of Rows x Cols reals, zero-initialised.
template <int Rows, int Cols = Rows>
struct Matrix {
    static constexpr int ld = Rows;
    std::array<float, static_cast<std::size_t>(Rows) * Cols> a{};

    MatView view() { return {a.data(), Rows, Cols}; }
    ConstMatView view() const { return {a.data(), Rows, Cols}; }
    float& operator()(int i, int j) { return view()(i, j); }
    float operator()(int i, int j) const { return view()(i, j); }
    void clear() { a.fill(0.0f); }
};

// Fixed-capacity vector of Size reals, zero-initialised.
template <int Size>
struct Vector {
    std::array<float, Size> a{};

    VecView view() { return {a.data(), Size}; }
    ConstVecView view() const { return {a.data(), Size}; }
    float& operator()(int i) { return view()(i); }
    float operator()(int i) const { return view()(i); }
    void clear() { a.fill(0.0f); }
};

// Column k of a matrix, as a vector.
template <int Rows, int Cols>
VecView column(Matrix<Rows, Cols>& A, int k) {
    return {&A(1, k), Rows};
}
template <int Rows, int Cols>
ConstVecView column(const Matrix<Rows, Cols>& A, int k) {
    return {&A.view()(1, k), Rows};
}

}  // namespace flownet
