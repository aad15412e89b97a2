#include <morvekBase/NodePartDesc.h>

#include <morvekBase/ClassicEncoding.h>

#include <charconv>
#include <cmath>
#include <cstring>

namespace Morvek {

NodePartDesc::NodePartDesc(unsigned int index, BitVector<unsigned long long> mask,
                           NodePartType partType, NodePartDataType dataType, unsigned int flags,
                           const char* name, const char* unused, const char* defaultValue,
                           const char* constraint, const char* description, unsigned int zero)
    : _index(index), _mask(mask), _partType(partType), _dataType(dataType), _flags(flags),
      _name(name), _unused(unused), _default(defaultValue), _constraint(constraint),
      _description(description), _zero(zero)
{
    parseTexts();
}

NodePartDesc::NodePartDesc(const NodePartDesc& other, BitVector<unsigned int>* collectedIndices)
    : NodePartDesc(other)
{
    if (collectedIndices)
        *collectedIndices |= BitVector<unsigned int>::bit(_index);
}

NodePartDesc::NodePartDesc(const NodePartDesc& other) = default;
NodePartDesc& NodePartDesc::operator=(const NodePartDesc& other) = default;
NodePartDesc::~NodePartDesc() = default;

const char* NodePartDesc::getName() const { return _name.get(); }
const char* NodePartDesc::getUnused() const { return _unused.get(); }
const char* NodePartDesc::getDefault() const { return _default.get(); }
const char* NodePartDesc::getConstraint() const { return _constraint.get(); }
const char* NodePartDesc::getDescription() const { return _description.get(); }

bool NodePartDesc::getRange(double& lo, double& hi) const
{
    if (!_hasRange)
        return false;
    lo = _lo;
    hi = _hi;
    return true;
}

void NodePartDesc::parseTexts()
{
    _hasRange = readRange(_constraint.present, _constraint.value, _lo, _hi);
    if (!_default.present)
        return;
    const char* text = _default.value.c_str();
    switch (_dataType) {
    case DataSFFloat:
        _parsedDefault = ClassicEncoding::parseFloats(text, _defaultFloats, 1);
        break;
    case DataSFColor:
    case DataSFVec3f:
        _parsedDefault = ClassicEncoding::parseFloats(text, _defaultFloats, 3);
        break;
    case DataSFInt32:
        _parsedDefault = ClassicEncoding::parseInt32(text, _defaultInt32);
        break;
    case DataSFBool:
        _parsedDefault = ClassicEncoding::parseBool(text, _defaultBool);
        break;
    default:
        break;
    }
}

bool NodePartDesc::readRange(bool present, const std::string& text, double& lo, double& hi)
{
    // "[lo,hi]" exactly: no spaces, both bounds finite numbers, lo <= hi.
    if (!present)
        return false;
    if (text.size() < 5 || text.front() != '[' || text.back() != ']')
        return false;
    const size_t comma = text.find(',');
    if (comma == std::string::npos)
        return false;
    const char* first = text.data() + 1;
    const char* middle = text.data() + comma;
    const char* last = text.data() + text.size() - 1;
    double a = 0, b = 0;
    const auto ra = std::from_chars(first, middle, a);
    const auto rb = std::from_chars(middle + 1, last, b);
    if (ra.ec != std::errc() || ra.ptr != middle || rb.ec != std::errc() || rb.ptr != last)
        return false;
    if (!std::isfinite(a) || !std::isfinite(b) || a > b)
        return false;
    lo = a;
    hi = b;
    return true;
}

} // namespace Morvek
