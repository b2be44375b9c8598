// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// Reading an integer out of a control's text, as data exchange does.
#pragma once

#include "platform/win/cstring.h"

// Blanks (space, tab), an optional sign, decimal digits, blanks, and nothing else, within
// int's range: then value is set and true returned. Otherwise value is left as it was.
bool AfxParseInt(const CString& text, int& value);
