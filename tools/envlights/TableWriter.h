#pragma once

#include "EnvironmentReport.h"

#include <string>
#include <vector>

namespace envlights {

/// Text for a terminal: per image a title line, then one aligned row per light with its rank
/// (1 = densest), direction, colour and region (picture coordinates, see PictureRect).
class TableWriter {
public:
    static std::string write(const std::vector<EnvironmentReport>& reports);
};

} // namespace envlights
