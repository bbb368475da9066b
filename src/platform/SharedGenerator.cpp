#include "platform/SharedGenerator.h"

std::mt19937& SharedGenerator()
{
    static std::mt19937 generator;
    return generator;
}
