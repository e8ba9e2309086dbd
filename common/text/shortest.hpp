// Numbers for machine-readable output: the shortest decimal text that reads back to the same value.
#pragma once

#include <string>

namespace flownet {

// The shortest decimal text that reads back to the same float ("0.1" for 0.1f, "nan", "inf").
std::string shortestText(float x);
// The same for a double.
std::string shortestText(double x);

// The double nearest to the shortest text of x: written as a double in its own shortest form, it
// gives the float's shortest text again (0.1f becomes 0.1, not 0.10000000149011612).
double shortestValue(float x);

}  // namespace flownet
