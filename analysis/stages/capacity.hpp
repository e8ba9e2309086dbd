// The largest network any analysis program takes: the capacity of the results of its stages.
#pragma once

namespace flownet {

inline constexpr int kStageCapacity = 128;

}  // namespace flownet
