// Ids of the framework's own strings in the program's string table; the
// resource script includes this too, so the range stays clear of the
// program's ids.
#pragma once

#define AFX_IDP_PARSE_UINT 0xF100
#define AFX_IDP_PARSE_INT_RANGE 0xF101
