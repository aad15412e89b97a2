#pragma once

// Namespace macros as OpenSG 1.x spells them. Include this header first.

#define OSG osg
#define OSG_BEGIN_NAMESPACE namespace osg {
#define OSG_END_NAMESPACE }
#define OSG_USING_NAMESPACE using namespace osg;

// Export decorations of the original library; a default-visibility shared library needs none.
#define OSG_BASE_DLLMAPPING
#define OSG_SYSTEMLIB_DLLMAPPING

// Function signature used in log headers.
#if defined(_MSC_VER)
#define OSG_FUNCNAME_MACRO __FUNCSIG__
#else
#define OSG_FUNCNAME_MACRO __PRETTY_FUNCTION__
#endif
