// A stream that writes to another and keeps a copy of what it wrote: the text of a report as it
// goes to its file, for the results page.
#pragma once

#include <ostream>
#include <streambuf>
#include <string>
#include <utility>

namespace flownet {

class CopyingBuffer : public std::streambuf {
public:
    // `target` null: the copy alone is kept.
    void setTarget(std::streambuf* target) { target_ = target; }
    // What was written since the last call.
    std::string take() { return std::exchange(copy_, std::string()); }

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        copy_ += traits_type::to_char_type(c);
        if (target_ != nullptr && traits_type::eq_int_type(target_->sputc(traits_type::to_char_type(c)), traits_type::eof()))
            return traits_type::eof();
        return c;
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        copy_.append(s, static_cast<std::size_t>(n));
        return target_ != nullptr ? target_->sputn(s, n) : n;
    }
    int sync() override { return target_ != nullptr ? target_->pubsync() : 0; }

private:
    std::streambuf* target_ = nullptr;
    std::string copy_;
};

}  // namespace flownet
