#include <morvekBase/TypeCast.h>

namespace Morvek {

std::atomic<unsigned> typeCastGeneration{0};

} // namespace Morvek
