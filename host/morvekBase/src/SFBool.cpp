#include <morvekBase/SFBool.h>

#include <morvekBase/ClassicEncoding.h>
#include <morvekBase/NodePartDesc.h>

namespace Morvek {

SFBool::SFBool(Node& owner, bool init) : XField<bool>(owner, init) {}

bool SFBool::storeFromString(const char* text) { return ClassicEncoding::parseBool(text, _value); }

bool SFBool::storeDefault(const NodePartDesc& row)
{
    const bool* value = row.getParsedDefaultBool();
    if (!value)
        return storeFromString(row.getDefault());
    _value = *value;
    return true;
}

std::string SFBool::getValueString() const { return _value ? "TRUE" : "FALSE"; }

} // namespace Morvek
