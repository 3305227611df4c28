// The layout of the patch data file DOVRINEX.PTC: records one after the
// other, each an 8-byte header followed by its data, with nothing before,
// between or after them.
#pragma once

#include <cstddef>

#include <windows.h>

// Little-endian in the file, as on every machine the program runs on, so the
// header is read straight into this record.
struct PATCH_RECORD_HEADER {
    DWORD TargetOffset; // where in the copy the data goes, from its first byte
    DWORD Length;       // data bytes that follow the header
};

static_assert(sizeof(PATCH_RECORD_HEADER) == 8, "a record header is 8 bytes");
static_assert(offsetof(PATCH_RECORD_HEADER, TargetOffset) == 0 &&
                  offsetof(PATCH_RECORD_HEADER, Length) == 4,
              "record header layout");
