#include "app/receive_format.h"

void AppendReceivedByte(CString& chunk, unsigned char byte, bool hex) {
    CString one;
    one.Format(hex ? _T("%.2X ") : _T("%c"), byte);
    chunk += one;
}
