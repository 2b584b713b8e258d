#pragma once
// minizip with its Windows file functions, which take UTF-16 paths. The
// Windows header of minizip still writes its prototypes with zlib's old OF()
// macro, which newer zlib no longer defines.

#include <minizip/unzip.h>
#include <minizip/zip.h>

#ifndef OF
#define OF(args) args
#endif
#include <minizip/iowin32.h>
