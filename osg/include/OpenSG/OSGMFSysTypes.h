#pragma once

#include <OpenSG/OSGMField.h>

OSG_BEGIN_NAMESPACE

typedef MField<UInt8> MFUInt8;
typedef MField<UInt16> MFUInt16;
typedef MField<UInt32> MFUInt32;
typedef MField<Int32> MFInt32;
typedef MField<Real32> MFReal32;

OSG_END_NAMESPACE
