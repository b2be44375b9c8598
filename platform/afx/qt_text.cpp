#include "platform/afx/qt_text_p.h"

#include <string>

namespace afx_detail {

QString ToQString(LPCWSTR text) {
    return text ? QString::fromUtf16(text) : QString();
}

QString ToQString(const CString& text) {
    return QString::fromUtf16(text.str().data(), static_cast<qsizetype>(text.str().size()));
}

CString FromQString(const QString& text) {
    return CString(std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                                  static_cast<size_t>(text.size())));
}

}  // namespace afx_detail
