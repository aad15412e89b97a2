#pragma once

#include <morvekSampling/ImageRegion.h>

#include <cstdint>
#include <vector>

namespace Morvek {

// What the last median cut of an environment image left: its leaves and the size of the tables
// they were cut from. The environment light's processor offers it, so that a program can show
// the regions behind the lights (reach it with dynamic_cast from the node's processor). It is
// defined entirely here, so a program that loads the lighting pool as a plug-in, without
// linking it, has its type information too.
class EnvironmentCut {
public:
    // The leaves ranked by ascending energy density (the densest last); the last k of them
    // became the k lights, the densest first.
    virtual const std::vector<ImageRegion>& regions() const = 0;
    // Size of the tables of the last image (0 when it had none).
    virtual std::uint16_t tableWidth() const = 0;
    virtual std::uint16_t tableHeight() const = 0;

protected:
    EnvironmentCut() = default;
    EnvironmentCut(const EnvironmentCut&) = default;
    EnvironmentCut& operator=(const EnvironmentCut&) = default;
    // Never deleted through this interface.
    ~EnvironmentCut() = default;
};

} // namespace Morvek
