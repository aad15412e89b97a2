#include <morvekBase/MFString.h>

#include <morvekBase/ClassicEncoding.h>

namespace Morvek {

MFString::MFString(Node& owner) : XField<std::vector<std::string>>(owner) {}

MFString::MFString(Node& owner, const std::vector<std::string>& init)
    : XField<std::vector<std::string>>(owner, init)
{
}

bool MFString::storeFromString(const char* text)
{
    return ClassicEncoding::parseStrings(text, _value);
}

std::string MFString::getValueString() const
{
    std::string out = "[";
    for (size_t i = 0; i < _value.size(); ++i)
        out += (i ? " " : "") + ClassicEncoding::quote(_value[i]);
    return out + "]";
}

} // namespace Morvek
