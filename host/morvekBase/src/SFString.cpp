#include <morvekBase/SFString.h>

#include <morvekBase/ClassicEncoding.h>

namespace Morvek {

SFString::SFString(Node& owner, const std::string& init) : XField<std::string>(owner, init) {}

bool SFString::storeFromString(const char* text)
{
    return ClassicEncoding::parseString(text, _value);
}

std::string SFString::getValueString() const { return ClassicEncoding::quote(_value); }

} // namespace Morvek
