#include <morvekBase/Field.h>

#include <morvekBase/HostLog.h>
#include <morvekBase/Node.h>
#include <morvekBase/NodePartDesc.h>
#include <morvekBase/Runtime.h>

namespace Morvek {

Field::Field(Node& owner) : _owner(&owner) { owner.addFieldObject(*this); }

Field::~Field() { _owner->removeFieldObject(*this); }

const char* Field::getName() const { return _desc && _desc->getName() ? _desc->getName() : ""; }

FieldMask Field::getMask() const { return _desc ? _desc->getMask() : NodePart::_nullMask; }

void Field::processValueChange(const double& time, CallerType caller)
{
    _lastCaller = caller;
    _owner->fieldChanged(*this, time, nullptr);
}

bool Field::setFromString(const char* text)
{
    if (!text || !storeFromString(text)) {
        const char* range = _desc && _desc->getConstraint() ? _desc->getConstraint() : nullptr;
        double lo = 0, hi = 0;
        const bool hasRange = _desc && _desc->getRange(lo, hi);
        MORVEK_HOST_LOG(osg::LOG_WARNING, "morvekBase/Field",
                        "Field %s: \"%s\" is not a valid %s%s%s; value unchanged\n",
                        getDisplayName().c_str(), text ? text : "(null)", getClassName(),
                        hasRange ? " in " : "", hasRange ? range : "");
        return false;
    }
    processValueChange(Runtime::instance().getTime(), CallerUser);
    return true;
}

bool Field::storeDefault(const NodePartDesc& row) { return storeFromString(row.getDefault()); }

void Field::collectLinks(std::vector<NodeLink*>&) {}

std::string Field::getDisplayName() const { return _owner->getDisplayName() + "." + getName(); }

} // namespace Morvek
