// Parsing a layout into its steps, and the cache of parsed layouts.
#include <cstring>
#include <stdexcept>

#include "layout.hpp"
#include "layout_parse.hpp"

namespace flownet::layout_detail {

namespace {

// A layout as written: a tree of descriptors, groups holding their members.
struct Node {
    bool group = false;
    Step::Kind kind = Step::Kind::Literal;  // of a descriptor that is not a group
    int repeat = 1;
    int w = -1;
    int d = 0;
    std::string text;            // literal text; for E, the field of a zero
    std::vector<Node> children;  // group members
};

// Writes out the repeats of the nodes, appending to the steps of p.
void flatten(const std::vector<Node>& nodes, Parsed& p) {
    for (const Node& n : nodes) {
        for (int r = 0; r < n.repeat; ++r) {
            if (n.group) {
                flatten(n.children, p);
            } else {
                p.steps.push_back({n.kind, n.w, n.d, static_cast<std::uint32_t>(p.text.size()),
                                   static_cast<std::uint32_t>(n.text.size())});
                p.text += n.text;
            }
        }
    }
}

[[noreturn]] void badLayout(std::string_view layout, std::size_t pos) {
    throw std::logic_error("bad layout at column " + std::to_string(pos + 1) + ": " +
                           std::string(layout));
}

class LayoutParser {
public:
    explicit LayoutParser(std::string_view layout) : s_(layout) {}

    Parsed parse() {
        Parsed p;
        skipBlanks();
        if (!eat('(')) badLayout(s_, pos_);
        const std::vector<Node> top = parseList(p.keepLineOpen);
        skipBlanks();
        if (pos_ != s_.size()) badLayout(s_, pos_);
        for (const Node& n : top) {
            if (n.group) p.again = p.steps.size();
            flatten({n}, p);
        }
        return p;
    }

private:
    std::string_view s_;
    std::size_t pos_ = 0;

    void skipBlanks() {
        while (pos_ < s_.size() && s_[pos_] == ' ') ++pos_;
    }
    bool eat(char c) {
        skipBlanks();
        if (pos_ < s_.size() && s_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    bool atDigit() const { return pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9'; }
    int number() {
        if (!atDigit()) badLayout(s_, pos_);
        int v = 0;
        while (atDigit()) v = v * 10 + (s_[pos_++] - '0');
        return v;
    }

    // Items up to and including the closing parenthesis of the current group.
    std::vector<Node> parseList(bool& keepLineOpen) {
        std::vector<Node> nodes;
        for (;;) {
            skipBlanks();
            if (pos_ >= s_.size()) badLayout(s_, pos_);
            char c = s_[pos_];
            if (c == ')') {
                ++pos_;
                return nodes;
            }
            if (c == ',') {
                ++pos_;
                continue;
            }
            if (c == '/') {
                ++pos_;
                Node slash;
                slash.kind = Step::Kind::Slash;
                nodes.push_back(std::move(slash));
                continue;
            }
            if (c == '$') {
                ++pos_;
                keepLineOpen = true;
                continue;
            }
            if (c == '\'') {
                nodes.push_back(literal());
                continue;
            }
            nodes.push_back(descriptor(keepLineOpen));
        }
    }

    // An edit descriptor or a group, with its repeat count.
    Node descriptor(bool& keepLineOpen) {
        int repeat = atDigit() ? number() : 1;
        skipBlanks();
        if (pos_ >= s_.size()) badLayout(s_, pos_);
        Node n;
        n.repeat = repeat;
        char k = s_[pos_++];
        switch (k) {
            case '(':
                n.group = true;
                n.children = parseList(keepLineOpen);
                break;
            case 'X':
                n.kind = Step::Kind::Skip;
                n.w = repeat;
                n.repeat = 1;
                break;
            case 'I':
                n.kind = Step::Kind::Int;
                n.w = number();
                break;
            case 'E':
            case 'F':
                n.kind = k == 'E' ? Step::Kind::Exp : Step::Kind::Fix;
                n.w = number();
                if (!eat('.')) badLayout(s_, pos_);
                n.d = number();
                if (k == 'E' && n.d < 1) badLayout(s_, pos_);
                if (k == 'E') n.text = formatExponent(0.0, n.w, n.d);
                break;
            case 'A':
                n.kind = Step::Kind::Text;
                n.w = atDigit() ? number() : -1;
                break;
            default:
                badLayout(s_, pos_ - 1);
        }
        return n;
    }

    Node literal() {
        Node n;  // a literal
        ++pos_;  // opening quote
        for (;;) {
            if (pos_ >= s_.size()) badLayout(s_, pos_);
            char c = s_[pos_++];
            if (c == '\'') {
                if (pos_ < s_.size() && s_[pos_] == '\'') {  // '' stands for one quote
                    n.text += '\'';
                    ++pos_;
                    continue;
                }
                return n;
            }
            n.text += c;
        }
    }
};

}  // namespace

Parsed parseLayout(std::string_view layout) {
    return LayoutParser(layout).parse();
}

const Parsed& LayoutCache::find(std::string_view layout) {
    auto same = [&](const Recent& r) {
        return r.data == layout.data() && r.text != nullptr && r.text->size() == layout.size() &&
               std::memcmp(r.text->data(), layout.data(), layout.size()) == 0;
    };
    if (same(recent_[last_])) return *recent_[last_].parsed;
    for (std::size_t k = 0; k < recent_.size(); ++k) {
        if (same(recent_[k])) {
            last_ = k;
            return *recent_[k].parsed;
        }
    }
    auto it = parsed_.find(layout);
    if (it == parsed_.end()) it = parsed_.emplace(std::string(layout), parseLayout(layout)).first;
    last_ = replace_++ % recent_.size();
    recent_[last_] = {layout.data(), &it->first, &it->second};
    return it->second;
}

}  // namespace flownet::layout_detail
