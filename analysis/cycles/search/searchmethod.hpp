// Which enumeration of the simple cycles a cycle routine uses.
#pragma once

namespace flownet {

// How the simple cycles are enumerated: both give the same cycles in the same order. The pruned
// search is the one the programs use; the reference search, which does what the definition of
// the order says, serves the tests.
enum class CycleSearch { Pruned, Reference };

}  // namespace flownet
