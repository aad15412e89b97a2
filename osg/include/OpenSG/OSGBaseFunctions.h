#pragma once

#include <OpenSG/OSGBaseTypes.h>

#include <cmath>

OSG_BEGIN_NAMESPACE

// Starts the scene layer: sets up the log and builds the prototype of every container type.
// Until it has run, every create() returns NullFC. A second call does nothing. Returns true.
bool osgInit(int argc, char** argv);

// Ends the scene layer: drops the prototypes and the shared default materials, so create()
// returns NullFC again until the next osgInit. Containers still referenced stay alive.
// Returns true.
bool osgExit();

// True between osgInit and osgExit.
bool osgIsInitialized();

// Maths in the value type of the argument (float stays float).
inline Real32 osgsqrt(Real32 v) { return std::sqrt(v); }
inline Real64 osgsqrt(Real64 v) { return std::sqrt(v); }
inline Real32 osgsin(Real32 v) { return std::sin(v); }
inline Real64 osgsin(Real64 v) { return std::sin(v); }
inline Real32 osgcos(Real32 v) { return std::cos(v); }
inline Real64 osgcos(Real64 v) { return std::cos(v); }
inline Real32 osgtan(Real32 v) { return std::tan(v); }
inline Real64 osgtan(Real64 v) { return std::tan(v); }
inline Real32 osgacos(Real32 v) { return std::acos(v); }
inline Real64 osgacos(Real64 v) { return std::acos(v); }
inline Real32 osgatan2(Real32 y, Real32 x) { return std::atan2(y, x); }
inline Real64 osgatan2(Real64 y, Real64 x) { return std::atan2(y, x); }
inline Real32 osgabs(Real32 v) { return std::fabs(v); }
inline Real64 osgabs(Real64 v) { return std::fabs(v); }
inline Int32 osgabs(Int32 v) { return v < 0 ? -v : v; }

template <class T> inline const T& osgMin(const T& a, const T& b) { return (b < a) ? b : a; }
template <class T> inline const T& osgMax(const T& a, const T& b) { return (a < b) ? b : a; }

// Degrees and radians, computed in the argument's type.
inline Real32 deg2rad(Real32 deg) { return deg * (Pi / 180.f); }
inline Real64 deg2rad(Real64 deg) { return deg * (3.141592653589793 / 180.0); }
inline Real32 rad2deg(Real32 rad) { return rad * (180.f / Pi); }
inline Real64 rad2deg(Real64 rad) { return rad * (180.0 / 3.141592653589793); }

OSG_END_NAMESPACE
