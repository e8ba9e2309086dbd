#include "listing.hpp"

#include <algorithm>
#include <vector>

#include "layout.hpp"

namespace flownet {

namespace {

constexpr int kBlockColumns = 8;
constexpr int kBlockRows = 65;

constexpr const char* kHeader = "(6X,14(I6,3X))";
constexpr const char* kMatrixRow = "(1X,I3,2X,14E9.3)";
constexpr const char* kVectorValues = "(6X,14E9.3)";
constexpr const char* kTwoEmptyLines = "(/)";

// Number of blocks of `size` that cover 1..n; a listing of nothing still has one (empty) block.
int blockCount(int n, int size) {
    return n <= 0 ? 1 : (n + size - 1) / size;
}

// The column numbers first..last, through the caller's item list.
void header(std::ostream& out, int first, int last, std::vector<Item>& numbers) {
    numbers.clear();
    for (int j = first; j <= last; ++j) numbers.emplace_back(j);
    writeLayout(out, kHeader, numbers);
}

}  // namespace

void MATPRT(std::ostream& out, ConstMatView A, int n) {
    writeLayout(out, kTwoEmptyLines);
    std::vector<Item> row;
    for (int rb = 0; rb < blockCount(n, kBlockRows); ++rb) {
        int firstRow = rb * kBlockRows + 1;
        int lastRow = std::min(firstRow + kBlockRows - 1, n);
        for (int cb = 0; cb < blockCount(n, kBlockColumns); ++cb) {
            int firstCol = cb * kBlockColumns + 1;
            int lastCol = std::min(firstCol + kBlockColumns - 1, n);
            header(out, firstCol, lastCol, row);
            for (int i = firstRow; i <= lastRow; ++i) {
                row.clear();
                row.emplace_back(i);
                for (int j = firstCol; j <= lastCol; ++j) row.emplace_back(A(i, j));
                writeLayout(out, kMatrixRow, row);
            }
            writeLayout(out, kTwoEmptyLines);
        }
    }
}

void VECPRT(std::ostream& out, ConstVecView V, int n) {
    writeLayout(out, kTwoEmptyLines);
    std::vector<Item> values;
    for (int b = 0; b < blockCount(n, kBlockColumns); ++b) {
        int first = b * kBlockColumns + 1;
        int last = std::min(first + kBlockColumns - 1, n);
        header(out, first, last, values);
        values.clear();
        for (int k = first; k <= last; ++k) values.emplace_back(V(k));
        writeLayout(out, kVectorValues, values);
        writeLayout(out, kTwoEmptyLines);
    }
}

}  // namespace flownet
