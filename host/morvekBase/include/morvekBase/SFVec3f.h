#pragma once

#include <morvekBase/XField.h>

#include <OpenSG/OSGVector.h>

namespace Morvek {

// A 3-vector field; text is three finite numbers.
class SFVec3f : public XField<osg::Vec3f> {
public:
    SFVec3f(Node& owner, osg::Vec3f init);

    bool storeFromString(const char* text) override;
    bool storeDefault(const NodePartDesc& row) override;
    std::string getValueString() const override;
    NodePartDataType getDataType() const override { return DataSFVec3f; }
    const char* getClassName() const override { return "SFVec3f"; }
};

} // namespace Morvek
