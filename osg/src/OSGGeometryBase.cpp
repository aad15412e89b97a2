#include <OpenSG/OSGGeometryBase.h>

#include <OpenSG/OSGGeometry.h>

OSG_BEGIN_NAMESPACE

FieldContainerType GeometryBase::_type("Geometry", "MaterialDrawable", &Geometry::createPrototype);

GeometryPtr GeometryBase::create() { return GeometryPtr::dcast(_type.createFieldContainer()); }

OSG_END_NAMESPACE
