// The pruned search cut below its roots into branches that threads can search apart.
//
// From each start position S, the search tries at every level the candidates S, S+1, ... in
// order, S closing a cycle. Followed to a fixed depth, the paths from S give, in the order of the
// whole search, the cycles that close before that depth and the branches below it: a branch is a
// path of positions after S (its prefix), and holds every cycle whose path begins so.
#pragma once

#include <array>
#include <atomic>
#include <memory>
#include <vector>

#include "arcgraph.hpp"
#include "nodeset.hpp"
#include "parallel.hpp"
#include "prunedsearch.hpp"
#include "searchwork.hpp"

namespace flownet {

// The depth of the cut: deep enough that the start that holds nearly all cycles of a large round
// is shared out over many branches, shallow enough that the cut costs nothing beside the search.
inline constexpr int kBranchDepth = 3;
// The deepest cut a piece can have.
inline constexpr int kMaxBranchDepth = 6;

// One piece of the search in its order: a branch, or a cycle that closes above the cut (the path
// S, prefix[0..d-1] and back to S; with d = 0 a self-loop of S).
struct SearchPiece {
    int S = 0;
    NodeSet cand;  // the candidates of the search from S: the positions >= S that reach S
    bool branch = false;
    int d = 0;
    std::array<int, kMaxBranchDepth> prefix{};
};

namespace cycle_search_detail {

// Appends the pieces below the path S, piece.prefix[0..piece.d-1] (on the path: onPath), cut
// `depth` positions after S: depth first along the candidates of each level, S (the cycle
// closing there) first.
inline void appendPieces(const ArcGraph& g, SearchPiece& piece, NodeSet& onPath, int depth,
                         std::vector<SearchPiece>& pieces) {
    const int S = piece.S;
    const int u = piece.d == 0 ? S : piece.prefix[static_cast<std::size_t>(piece.d - 1)];
    const NodeSet next = g.succ[u] & piece.cand & ~onPath;
    if (next.test(S)) {
        piece.branch = false;
        pieces.push_back(piece);
    }
    for (NodeSet rest = next & ~NodeSet::single(S); rest.any();) {
        const int p = rest.takeFirst();
        piece.prefix[static_cast<std::size_t>(piece.d++)] = p;
        if (piece.d == depth) {
            piece.branch = true;
            pieces.push_back(piece);
        } else {
            onPath.set(p);
            appendPieces(g, piece, onPath, depth, pieces);
            onPath.reset(p);
        }
        --piece.d;
    }
}

}  // namespace cycle_search_detail

// The pieces of the pruned search of the graph g over every start position, in its order.
inline std::vector<SearchPiece> searchPieces(const ArcGraph& g) {
    using namespace cycle_search_detail;
    std::vector<SearchPiece> pieces;
    for (int S = 1; S <= g.K; ++S) {
        SearchPiece piece;
        piece.S = S;
        piece.cand = reaching(g, NodeSet::single(S), NodeSet::range(S, g.K));
        if (!(g.succ[S] & piece.cand).any()) continue;
        NodeSet onPath;
        appendPieces(g, piece, onPath, kBranchDepth, pieces);
    }
    return pieces;
}

// The pieces, in its order, of the pruned search from position 1 whose path begins with the arc
// 1 -> 2 (the search of enumerateArcCycles), cut `depth` positions after 1 (1 <= depth <=
// kMaxBranchDepth).
inline std::vector<SearchPiece> arcPieces(const ArcGraph& g, int depth) {
    using namespace cycle_search_detail;
    std::vector<SearchPiece> pieces;
    SearchPiece piece;
    piece.S = 1;
    piece.cand = reaching(g, NodeSet::single(1), NodeSet::range(1, g.K));
    if (g.K < 2 || !piece.cand.test(2)) return pieces;
    piece.prefix[0] = 2;
    piece.d = 1;
    if (depth == 1) {
        piece.branch = true;
        pieces.push_back(piece);
        return pieces;
    }
    NodeSet onPath = NodeSet::single(2);
    appendPieces(g, piece, onPath, depth, pieces);
    return pieces;
}

namespace cycle_search_detail {

// Appends the pieces of the search from S through the arc a -> b below the path S,
// piece.prefix[0..piece.d-1] (on the path: onPath), whose last position has the candidates rem,
// `after` once the path has taken the arc; cut `depth` positions after S, depth first along the
// candidates of each level as the search takes them, S (the cycle closing there) first.
inline void appendThroughPieces(const ArcGraph& g, Arc arc, const ThroughCandidates& cand,
                                SearchPiece& piece, NodeSet& onPath, bool after, NodeSet rem,
                                int depth, std::vector<SearchPiece>& pieces) {
    const int S = piece.S;
    for (NodeSet r = rem; r.any();) {
        const int p = r.takeFirst();
        if (after && p == S) {
            piece.branch = false;
            pieces.push_back(piece);
            continue;
        }
        piece.prefix[static_cast<std::size_t>(piece.d++)] = p;
        if (piece.d == depth) {
            piece.branch = true;
            pieces.push_back(piece);
        } else {
            onPath.set(p);
            const bool toHead = !after && p == arc.tail;
            const NodeSet next = toHead ? NodeSet::single(arc.head)
                                        : g.succ[p] & (after ? cand.after : cand.toward) & ~onPath;
            appendThroughPieces(g, arc, cand, piece, onPath, after || toHead, next, depth, pieces);
            onPath.reset(p);
        }
        --piece.d;
    }
}

}  // namespace cycle_search_detail

// The pieces, in its order, of the search through the arc `at` (positions, not a self-loop) from
// every start position, as enumerateCyclesThrough runs it, cut `depth` positions after the start
// (1 <= depth <= kMaxBranchDepth).
inline std::vector<SearchPiece> throughPieces(const ArcGraph& g, Arc at, int depth) {
    using namespace cycle_search_detail;
    std::vector<SearchPiece> pieces;
    const int last = at.tail < at.head ? at.tail : at.head;
    if (!g.succ[at.tail].test(at.head)) return pieces;
    for (int S = 1; S <= last; ++S) {
        ThroughCandidates cand;
        if (!throughCandidates(g, S, at, cand)) continue;
        SearchPiece piece;
        piece.S = S;
        NodeSet onPath;
        const bool fromTail = at.tail == S;
        appendThroughPieces(g, at, cand, piece, onPath, fromTail,
                            fromTail ? NodeSet::single(at.head) : g.succ[S] & cand.toward, depth,
                            pieces);
    }
    return pieces;
}

// The number of simple cycles of the graph g, counted on `threads` threads, branch by branch.
inline long long countOnThreads(const ArcGraph& g, const NodeList& list, ArcFloor floor,
                                int threads) {
    using namespace cycle_search_detail;
    const std::vector<SearchPiece> pieces = searchPieces(g);
    std::atomic<std::size_t> next{0};
    std::vector<long long> counts(static_cast<std::size_t>(threads), 0);
    onThreads(threads, [&](int t) {
        auto w = std::make_unique<SearchWork>();
        long long count = 0;
        auto visit = [&count](const FoundCycle&) {
            ++count;
            return true;
        };
        for (std::size_t k; (k = next.fetch_add(1, std::memory_order_relaxed)) < pieces.size();) {
            const SearchPiece& piece = pieces[k];
            if (!piece.branch) {
                ++count;
                continue;
            }
            prunedBranch<Keep::Count>(*w, g, list, floor, piece.S, piece.cand, piece.prefix.data(),
                                      piece.d, visit);
        }
        counts[static_cast<std::size_t>(t)] = count;
    });
    long long total = 0;
    for (long long c : counts) total += c;
    return total;
}

}  // namespace flownet
