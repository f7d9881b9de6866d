// A header of the build's own part of a platform concern, from code that
// both builds compile: ZEL_PLATFORM_HEADER(com, com_basics.h) names
// platform/com/win32/com_basics.h or platform/com/native/com_basics.h.
// CMake defines ZEL_PLATFORM_DIR, the one name by which it also picks the
// build's own sources, so a header and its sources never come from two
// different builds.
#pragma once

#ifndef ZEL_PLATFORM_DIR
#error "ZEL_PLATFORM_DIR (win32 or native) is defined by the build"
#endif

#define ZEL_PLATFORM_HEADER_TEXT_(path) #path
#define ZEL_PLATFORM_HEADER_TEXT(path) ZEL_PLATFORM_HEADER_TEXT_(path)
#define ZEL_PLATFORM_HEADER(concern, name) ZEL_PLATFORM_HEADER_TEXT(platform/concern/ZEL_PLATFORM_DIR/name)
