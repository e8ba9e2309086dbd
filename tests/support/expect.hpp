// Checks on console transcripts.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace flownet::testing {

// Each piece occurs in the text, after the end of the piece before it.
inline void expectInOrder(const std::string& text, std::initializer_list<std::string> pieces) {
    std::size_t from = 0;
    for (const std::string& piece : pieces) {
        const std::size_t at = text.find(piece, from);
        if (at == std::string::npos) {
            ADD_FAILURE() << "not found in order: [" << piece << "]";
            return;
        }
        from = at + piece.size();
    }
}

// How often the piece occurs in the text.
inline int occurrences(const std::string& text, const std::string& piece) {
    int count = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos;
         at = text.find(piece, at + piece.size())) {
        ++count;
    }
    return count;
}

}  // namespace flownet::testing
