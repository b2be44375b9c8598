#include "app/app_dir.h"

CString g_strAppDir;

void RecordAppDir(LPCWSTR modulePath) {
    g_strAppDir = modulePath;
    const int last = g_strAppDir.ReverseFind(u'\\');
    g_strAppDir = g_strAppDir.Left(last + 1);
}
