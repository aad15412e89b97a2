#pragma once

#include <morvekBase/XField.h>

#include <OpenSG/OSGColor.h>

namespace Morvek {

// An RGB colour field; text is three numbers, each within [0,1] (X3D colour rule; setValue
// from code is not checked).
class SFColor : public XField<osg::Color3f> {
public:
    SFColor(Node& owner, osg::Color3f init);

    bool storeFromString(const char* text) override;
    bool storeDefault(const NodePartDesc& row) override;
    std::string getValueString() const override;
    NodePartDataType getDataType() const override { return DataSFColor; }
    const char* getClassName() const override { return "SFColor"; }

private:
    // Stores three read components that each lie in [0,1].
    bool storeChecked(const float* rgb);
};

} // namespace Morvek
