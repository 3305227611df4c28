// The text formatting of the programs' snprintf and printf.
#pragma once

#include <stdarg.h>
#include <stddef.h>

// Formats as C99's vsnprintf does for the conversions the programs use:
// d i u x X c s and %%, with the flags '-' and '0', a width and a precision
// (each may be '*'); the length modifiers h and l are accepted and change
// nothing, as int and long are both 32 bits on Windows. The text is cut to fit
// size - 1 characters and always terminated when size is not 0; the result is
// the length of the whole text.
int FormatText(char* buffer, size_t size, const char* format, va_list arguments);
