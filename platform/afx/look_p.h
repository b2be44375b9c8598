// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// The look the program set (look.h), as Qt takes it.
#pragma once

#include <QFont>
#include <QString>

#include "platform/win/types.h"

namespace afx_detail {

// The font a template's font stands for here.
QFont DialogFont(LPCWSTR name, WORD pointSize);

// The tab rows' style sheet; empty for none.
QString TabStyleSheet();

}  // namespace afx_detail
