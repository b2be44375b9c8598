#include "platform/afx/look.h"

#include <algorithm>
#include <string>

#include "platform/afx/look_p.h"
#include "platform/afx/qt_text_p.h"

namespace afx_detail {

namespace {

struct Look {
    bool ownFamily = false;  // the program's family rather than the template's font name
    std::u16string family;
    int pixelsPerPoint = 0;
    std::u16string tabStyleSheet;
};

// A function's own: the program may set the look from a static initializer of its own.
Look& TheLook() {
    static Look look;
    return look;
}

// Below this a template's size counts as this.
constexpr int kMinPointSize = 8;

}  // namespace

QFont DialogFont(LPCWSTR name, WORD pointSize) {
    const Look& look = TheLook();
    QFont font(look.ownFamily ? ToQString(look.family.c_str()) : ToQString(name));
    const int points = std::max<int>(pointSize, kMinPointSize);
    if (look.pixelsPerPoint > 0) {
        font.setPixelSize(points * look.pixelsPerPoint);
    } else {
        font.setPointSize(points);
    }
    return font;
}

QString TabStyleSheet() {
    return ToQString(TheLook().tabStyleSheet.c_str());
}

}  // namespace afx_detail

void AfxSetDialogFont(LPCWSTR family, int pixelsPerPoint) {
    afx_detail::Look& look = afx_detail::TheLook();
    look.ownFamily = family != nullptr;
    look.family = family ? family : u"";
    look.pixelsPerPoint = std::max(pixelsPerPoint, 0);
}

void AfxSetTabStyleSheet(LPCWSTR styleSheet) {
    afx_detail::TheLook().tabStyleSheet = styleSheet ? styleSheet : u"";
}
