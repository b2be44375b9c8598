// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// Texts at the edge to Qt: the framework's UTF-16 texts and QString hold the same code units,
// so the conversions copy them unchanged.
#pragma once

#include <QString>

#include "platform/win/cstring.h"

namespace afx_detail {

// nullptr gives an empty text.
QString ToQString(LPCWSTR text);
QString ToQString(const CString& text);
CString FromQString(const QString& text);

}  // namespace afx_detail
