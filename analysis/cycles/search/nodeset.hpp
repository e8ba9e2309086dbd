// Sets of positions of a cycle search, one bit each, the arcs between positions (or compartments),
// and the node list that numbers the positions.
#pragma once

#include <array>
#include <bit>
#include <cstdint>

namespace flownet {

// The largest network either cycle routine takes.
inline constexpr int kMaxCycleNodes = 128;

// A set of positions (or compartments) 1..128, one bit each.
struct NodeSet {
    std::array<std::uint64_t, 2> w{};

    // The bit of p in each word, 0 in the word that does not hold p. Both words are always
    // touched, never one picked by index, so that a set can live in registers.
    static std::uint64_t bit(int p) { return std::uint64_t{1} << ((p - 1) & 63); }
    static std::uint64_t lowBit(int p) { return p <= 64 ? bit(p) : 0; }
    static std::uint64_t highBit(int p) { return p > 64 ? bit(p) : 0; }

    void set(int p) {
        w[0] |= lowBit(p);
        w[1] |= highBit(p);
    }
    void reset(int p) {
        w[0] &= ~lowBit(p);
        w[1] &= ~highBit(p);
    }
    bool test(int p) const { return ((w[0] & lowBit(p)) | (w[1] & highBit(p))) != 0; }
    bool any() const { return (w[0] | w[1]) != 0; }
    int count() const { return std::popcount(w[0]) + std::popcount(w[1]); }
    // Removes and returns the lowest member of a set that is not empty.
    int takeFirst() {
        if (w[0] != 0) {
            int p = std::countr_zero(w[0]) + 1;
            w[0] &= w[0] - 1;
            return p;
        }
        int p = std::countr_zero(w[1]) + 65;
        w[1] &= w[1] - 1;
        return p;
    }
    // Removes and returns the lowest member that is also in `free`, with every member below it;
    // 0, and the set left empty, when there is none.
    int takeFirstOf(NodeSet free) {
        if (const std::uint64_t low = w[0] & free.w[0]; low != 0) {
            const int b = std::countr_zero(low);
            w[0] &= ~((std::uint64_t{2} << b) - 1);
            return b + 1;
        }
        w[0] = 0;
        if (const std::uint64_t high = w[1] & free.w[1]; high != 0) {
            const int b = std::countr_zero(high);
            w[1] &= ~((std::uint64_t{2} << b) - 1);
            return b + 65;
        }
        w[1] = 0;
        return 0;
    }
    // Positions lo..hi.
    static NodeSet range(int lo, int hi) {
        NodeSet s;
        for (int p = lo; p <= hi; ++p) s.set(p);
        return s;
    }
    static NodeSet single(int p) {
        NodeSet s;
        s.set(p);
        return s;
    }
    friend NodeSet operator&(NodeSet a, NodeSet b) { return {{a.w[0] & b.w[0], a.w[1] & b.w[1]}}; }
    friend NodeSet operator|(NodeSet a, NodeSet b) { return {{a.w[0] | b.w[0], a.w[1] | b.w[1]}}; }
    NodeSet operator~() const { return {{~w[0], ~w[1]}}; }
    NodeSet& operator|=(NodeSet b) { return *this = *this | b; }
    NodeSet& operator&=(NodeSet b) { return *this = *this & b; }
};

// An arc from `tail` to `head`: both positions of a search, or both compartments, 1..128. A table
// over the arcs is indexed by the arc's code, tail * 129 + head, below kCodes; decode turns a code
// back into its arc.
struct Arc {
    int tail = 0, head = 0;

    static constexpr int kCodes = (kMaxCycleNodes + 1) * (kMaxCycleNodes + 1);
    constexpr int code() const { return tail * (kMaxCycleNodes + 1) + head; }
    static constexpr Arc decode(int code) {
        return {code / (kMaxCycleNodes + 1), code % (kMaxCycleNodes + 1)};
    }
    constexpr bool selfLoop() const { return tail == head; }
    friend constexpr bool operator==(Arc, Arc) = default;
};

// Positions 1..K of a search and the compartment at each.
struct NodeList {
    int K = 0;
    std::array<int, kMaxCycleNodes + 1> node{};  // node[p], p = 1..K

    // The arc between the compartments at the positions of the arc `at`.
    Arc nodesOf(Arc at) const { return {node[at.tail], node[at.head]}; }
};

}  // namespace flownet
