#pragma once

#include <string>

namespace envlights {

/// The shortest decimal text ("%.{1..9}g") that reads back as exactly `value`, both when parsed
/// straight to float and when parsed to double and then narrowed (nine significant digits
/// always suffice for a 32-bit float); "nan", "inf" or "-inf" for non-finite values.
std::string floatText(float value);

/// The same for a double: the shortest "%.{1..17}g" that reads back as exactly `value`.
std::string doubleText(double value);

} // namespace envlights
