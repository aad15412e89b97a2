#include <morvekBase/BaseObject.h>

namespace Morvek {

BaseObject::~BaseObject() = default;

} // namespace Morvek
