#pragma once

#include <random>

/// The process-wide Mersenne Twister that the data file scrambling and the password hash share.
/// Each user seeds it afresh before drawing.
std::mt19937& SharedGenerator();
