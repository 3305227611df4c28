// Applies the records of the patch data file to the copy of the executable.
#pragma once

#include <cstdio>

// Writes every record of `patchData` (open for reading) into `target` (open
// for update) in file order; a trailing fragment shorter than a record header
// is ignored. Returns 0 when every record was written and has reached the
// file, 1 when a record's data is cut short, a record cannot be held in
// memory, or reading, positioning or writing fails. The records before the
// failing one stay written. Neither stream is closed.
int ApplyPatchRecords(FILE* target, FILE* patchData);
