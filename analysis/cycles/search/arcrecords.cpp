#include "arcrecords.hpp"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

#include "branches.hpp"
#include "parallel.hpp"
#include "prunedsearch.hpp"
#include "searchwork.hpp"

namespace flownet {

namespace {

// The cut: the arc, then three more positions.
constexpr int kArcPieceDepth = 4;
// Blocks under way (being filled, waiting or being applied) per thread: about 0.5 MiB each.
constexpr int kBlocksPerThread = 16;

using Apply = std::function<void(const CycleBlock&)>;

// The hand-over of the blocks of the pieces, in the order of the pieces. The calling thread
// applies them; every thread fills them. A thread whose piece is not the first unfinished one (the
// head) waits while too many blocks are under way, the thread of the head never does, so the head
// always moves on; the calling thread applies the blocks ready at the head while it waits.
class BlockOrder {
public:
    BlockOrder(std::size_t pieces, int limit, const Apply& apply)
        : pieces_(pieces), limit_(limit), apply_(apply) {}

    std::unique_ptr<CycleBlock> take(std::size_t piece, bool caller) {
        std::unique_lock lock(m_);
        for (;;) {
            if (caller) applyReady(lock);
            if (inUse_ < limit_ || piece == head_) break;
            changed_.wait(lock);
        }
        ++inUse_;
        if (spare_.empty()) return std::make_unique<CycleBlock>();
        auto block = std::move(spare_.back());
        spare_.pop_back();
        return block;
    }

    void hand(std::size_t piece, std::unique_ptr<CycleBlock> block, bool caller) {
        std::unique_lock lock(m_);
        pieces_[piece].ready.push_back(std::move(block));
        changed_.notify_all();
        if (caller) applyReady(lock);
    }

    void finish(std::size_t piece, std::unique_ptr<CycleBlock> block, bool caller) {
        std::unique_lock lock(m_);
        if (block->count() > 0) {
            pieces_[piece].ready.push_back(std::move(block));
        } else {
            spare_.push_back(std::move(block));
            --inUse_;
        }
        pieces_[piece].done = true;
        changed_.notify_all();
        if (caller) applyReady(lock);
    }

    // The calling thread, once no piece is left to take: every block applied.
    void drain() {
        std::unique_lock lock(m_);
        for (;;) {
            applyReady(lock);
            if (head_ == pieces_.size()) return;
            changed_.wait(lock);
        }
    }

private:
    struct Piece {
        std::deque<std::unique_ptr<CycleBlock>> ready;
        bool done = false;
    };

    // The calling thread: applies, outside the lock, the blocks ready at the head, moving the
    // head past the pieces done.
    void applyReady(std::unique_lock<std::mutex>& lock) {
        for (;;) {
            while (head_ < pieces_.size() && pieces_[head_].done && pieces_[head_].ready.empty()) {
                ++head_;
                changed_.notify_all();
            }
            if (head_ == pieces_.size() || pieces_[head_].ready.empty()) return;
            auto block = std::move(pieces_[head_].ready.front());
            pieces_[head_].ready.pop_front();
            lock.unlock();
            apply_(*block);
            block->clear();
            lock.lock();
            spare_.push_back(std::move(block));
            --inUse_;
            changed_.notify_all();
        }
    }

    std::mutex m_;
    std::condition_variable changed_;
    std::vector<Piece> pieces_;
    std::size_t head_ = 0;
    int inUse_ = 0;
    const int limit_;
    std::vector<std::unique_ptr<CycleBlock>> spare_;
    const Apply& apply_;
};

}  // namespace

void recordArcCycles(const ArcGraph& g, const NodeList& list, float SUMP, long long count,
                     int threads, const Apply& apply) {
    using namespace cycle_search_detail;
    constexpr Keep keep = Keep::WeakArcAndProduct;
    const std::vector<SearchPiece> pieces = arcPieces(g, kArcPieceDepth);
    const auto shareOf = [SUMP, count](float P) {
        return SUMP != 0.0f ? P / SUMP : 1.0f / static_cast<float>(count);
    };
    BlockOrder order(pieces.size(), kBlocksPerThread * threads, apply);
    std::atomic<std::size_t> next{0};
    onThreads(threads, [&](int t) {
        const bool caller = t == 0;
        auto w = std::make_unique<SearchWork>();
        for (std::size_t k; (k = next.fetch_add(1, std::memory_order_relaxed)) < pieces.size();) {
            const SearchPiece& piece = pieces[k];
            auto block = order.take(k, caller);
            const auto visit = [&](const FoundCycle& c) {
                if (!block->fits(c.L)) {
                    order.hand(k, std::move(block), caller);
                    block = order.take(k, caller);
                }
                block->add(shareOf(c.P), c.nodes, c.L);
                return true;
            };
            if (piece.branch) {
                prunedBranch<keep>(*w, g, list, ArcFloor{0.0f, true}, piece.S, piece.cand,
                                   piece.prefix.data(), piece.d, visit);
            } else {
                // The cycle 1, prefix, 1, its product taken in path order as the search takes it.
                int nodes[kMaxBranchDepth + 2];
                float P = 1.0f;
                int from = piece.S;
                nodes[0] = list.node[piece.S];
                for (int k2 = 0; k2 < piece.d; ++k2) {
                    const int p = piece.prefix[static_cast<std::size_t>(k2)];
                    P = P * g.frac[from][p];
                    nodes[k2 + 1] = list.node[p];
                    from = p;
                }
                P = P * g.frac[from][piece.S];
                block->add(shareOf(P), nodes, piece.d + 1);
            }
            order.finish(k, std::move(block), caller);
        }
        if (caller) order.drain();
    });
}

}  // namespace flownet
