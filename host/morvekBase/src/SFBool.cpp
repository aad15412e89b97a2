#include <morvekBase/SFBool.h>

#include <morvekBase/ClassicEncoding.h>

namespace Morvek {

SFBool::SFBool(Node& owner, bool init) : XField<bool>(owner, init) {}

bool SFBool::storeFromString(const char* text)
{
    return ClassicEncoding::parseBool(text, _value);
}

std::string SFBool::getValueString() const
{
    return _value ? "TRUE" : "FALSE";
}

} // namespace Morvek
