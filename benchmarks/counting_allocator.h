// Counts every allocation the program makes through operator new, so that a
// benchmark can show that its loop allocates nothing.
#pragma once

long AllocationCount();
