#pragma once

#include <OpenSG/OSGBaseTypes.h>

OSG_BEGIN_NAMESPACE

// Test hook: while alive, create() of the named type ("SpotLight", "SimpleMaterial",
// "Node", "Transform", "PolygonChunk", ...) returns NullFC, as it does before osgInit. Only
// that exact type is affected (withholding "PointLight" leaves "SpotLight" alone). Scopes
// nest. An unknown name logs a warning and withholds nothing.
class ScopedWithheldPrototype {
public:
    explicit ScopedWithheldPrototype(const char* typeName);
    ~ScopedWithheldPrototype();
    ScopedWithheldPrototype(const ScopedWithheldPrototype&) = delete;
    ScopedWithheldPrototype& operator=(const ScopedWithheldPrototype&) = delete;

private:
    class FieldContainerType* _type;
};

OSG_END_NAMESPACE
