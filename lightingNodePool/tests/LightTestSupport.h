#pragma once

// Small helpers shared by the lighting pool's tests.

#include <osgTestSupport/LogLevelScope.h>

#include <string>

namespace Morvek {

using osgTestSupport::LogLevelScope;

inline bool endsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace Morvek
