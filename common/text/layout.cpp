// The line writer: values through a layout to a stream.
#include "layout.hpp"

#include <algorithm>
#include <sstream>
#include <stdexcept>

#include "fields.hpp"
#include "layout_parse.hpp"

namespace flownet {

namespace layout_detail {

// Each thread has its own, so that two threads writing reports at once share no parsed layout and
// no line store. A thread_local rather than an object handed to writeLayout: the programs write
// from hundreds of places, none of which should have to carry the formatter's state.
FormatterState& formatterState() {
    thread_local FormatterState state;
    return state;
}

}  // namespace layout_detail

using namespace layout_detail;

namespace {

// Writes into a line buffer; the caller hands the buffer to the stream in one piece.
class Writer {
public:
    Writer(LineBuffer& out, const Parsed& layout, std::span<const Item> items)
        : out_(out), layout_(layout), items_(items) {}

    // Runs the steps from `from` on; false when output stopped at a data descriptor without a
    // value. (Through a pointer: a character stored into the line may alias the vector of steps,
    // which the loop would otherwise read again after every field.)
    bool run(std::size_t from = 0) {
        const Step* const end = layout_.steps.data() + layout_.steps.size();
        for (const Step* step = layout_.steps.data() + from; step < end; ++step) {
            if (!one(*step)) return false;
        }
        return true;
    }
    bool valuesLeft() const { return next_ < items_.size(); }
    bool tookValue() const { return took_; }
    void resetTook() { took_ = false; }

private:
    LineBuffer& out_;
    const Parsed& layout_;
    std::span<const Item> items_;
    std::size_t next_ = 0;
    bool took_ = false;

    const Item& take(Item::Kind kind) {
        const Item& it = items_[next_++];
        took_ = true;
        if (it.kind != kind) throw std::logic_error("layout descriptor does not match its value");
        return it;
    }

    bool one(const Step& n) {
        switch (n.kind) {
            case Step::Kind::Skip:
                out_.fill(static_cast<std::size_t>(n.w), ' ');
                return true;
            case Step::Kind::Literal:
                out_.put(layout_.textOf(n));
                return true;
            case Step::Kind::Slash:
                out_.put('\n');
                return true;
            case Step::Kind::Int:
                if (!valuesLeft()) return false;
                if (const long long v = take(Item::Kind::Int).i; v >= 0 && v < 100 && n.w == 2) {
                    // the compartments of the cycle lines
                    char* p = out_.room(2);
                    p[0] = v < 10 ? ' ' : static_cast<char>('0' + v / 10);
                    p[1] = static_cast<char>('0' + v % 10);
                } else {
                    appendInteger(out_, v, n.w);
                }
                return true;
            case Step::Kind::Exp:
                if (!valuesLeft()) return false;
                if (const double x = take(Item::Kind::Real).r; x == 0.0) {
                    out_.put(layout_.textOf(n));  // most fields of the matrix listings
                } else {
                    appendExponent(out_, x, n.w, n.d);
                }
                return true;
            case Step::Kind::Fix:
                if (!valuesLeft()) return false;
                appendFixed(out_, take(Item::Kind::Real).r, n.w, n.d);
                return true;
            default: {  // Text
                if (!valuesLeft()) return false;
                std::string_view s = take(Item::Kind::Text).s;
                if (n.w < 0) {
                    out_.put(s);
                } else if (static_cast<int>(s.size()) >= n.w) {
                    out_.put(s.substr(0, static_cast<std::size_t>(n.w)));
                } else {
                    out_.fill(static_cast<std::size_t>(n.w) - s.size(), ' ');
                    out_.put(s);
                }
            }
        }
        return true;
    }
};

}  // namespace

void writeLayout(std::ostream& out, std::string_view layout, std::span<const Item> items) {
    FormatterState& state = formatterState();
    const Parsed& p = state.layouts.find(layout);
    LineBuffer line(state.line);  // the text of the layout's lines, written at the end
    Writer w(line, p, items);
    bool going = w.run();
    // Reversion: values remain at the end of the layout, so the line ends and the last
    // top-level group (or the whole layout) starts again.
    while (going && w.valuesLeft() && w.tookValue()) {
        line.put('\n');
        w.resetTook();
        going = w.run(p.again);
    }
    if (!p.keepLineOpen) line.put('\n');
    // Straight into the stream's buffer, doing what write does around it (a listing writes tens
    // of thousands of lines): a stream in error takes nothing (and fails), a tied stream is
    // flushed first, a short write marks the stream bad, and a stream with unitbuf is flushed
    // after.
    const std::string_view text = line.text();
    const auto size = static_cast<std::streamsize>(text.size());
    std::streambuf* buffer = out.rdbuf();
    if (!out.good() || buffer == nullptr) {
        out.setstate(std::ios::failbit);
        return;
    }
    if (out.tie() != nullptr) out.tie()->flush();
    if (buffer->sputn(text.data(), size) != size) out.setstate(std::ios::badbit);
    if ((out.flags() & std::ios::unitbuf) != 0 && buffer->pubsync() == -1)
        out.setstate(std::ios::badbit);
}

void writeLayout(std::ostream& out, std::string_view layout, std::initializer_list<Item> items) {
    writeLayout(out, layout, std::span<const Item>(items.begin(), items.size()));
}

std::string formatLayout(std::string_view layout, std::initializer_list<Item> items) {
    std::ostringstream s;
    writeLayout(s, layout, items);
    return s.str();
}

std::vector<std::string> textPieces(std::string_view text, int w, int n, int lastWidth) {
    std::string padded(text);
    std::size_t total = static_cast<std::size_t>(w * n + lastWidth);
    padded.resize(std::max(total, padded.size()), ' ');
    std::vector<std::string> pieces;
    for (int k = 0; k <= n; ++k) {
        std::size_t width = static_cast<std::size_t>(k < n ? w : lastWidth);
        pieces.push_back(padded.substr(static_cast<std::size_t>(k * w), width));
    }
    return pieces;
}

}  // namespace flownet
