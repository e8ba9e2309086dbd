#include "runend.hpp"

#include <utility>

namespace flownet {

void stopOrderly(std::string consoleLine) {
    throw RunEnd{0, std::move(consoleLine)};
}

void stopFailure(std::string message) {
    throw RunEnd{2, std::move(message)};
}

}  // namespace flownet
