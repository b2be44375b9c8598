// Files for the dialogs: CFile (over CreateFileW / ReadFile) and the file-open dialog.
#pragma once

#include "platform/afx/wnd.h"

class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeBinary = 0x8000,
    };

    CFile() = default;
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // FALSE when the file cannot be opened (the last error says why).
    BOOL Open(LPCWSTR path, UINT flags);
    // The count read; 0 at the end of the file or on failure.
    UINT Read(void* buffer, UINT count);
    BOOL Write(const void* buffer, UINT count);
    ULONGLONG GetLength() const;
    void Close();

    HANDLE m_hFile = INVALID_HANDLE_VALUE;
};

struct OPENFILENAMEW {
    DWORD lStructSize;
    HWND hwndOwner;
    LPCWSTR lpstrFilter;  // label, NUL, pattern, NUL, ..., NUL
    DWORD nFilterIndex;   // 1-based; 0 takes the first pair
    LPCWSTR lpstrInitialDir;
    LPCWSTR lpstrTitle;
    DWORD Flags;
    LPCWSTR lpstrDefExt;
};
using OPENFILENAME = OPENFILENAMEW;

// A file-open or file-save dialog. The filter is written as "label|pattern|...||"; "*.*"
// takes every file, as on the system. A missing initial folder starts in the home folder.
class CFileDialog : public CCmdTarget {
public:
    CFileDialog(BOOL openFileDialog, LPCWSTR defaultExt = nullptr, LPCWSTR fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCWSTR filter = nullptr,
                CWnd* parent = nullptr);

    // IDOK when a file was chosen, IDCANCEL otherwise.
    virtual INT_PTR DoModal();
    // The chosen file's full path in the path view.
    CString GetPathName() const { return m_path; }
    CString GetFileName() const;

    OPENFILENAME m_ofn{};

private:
    BOOL m_open;
    CString m_filter;  // the pairs, NUL-separated, as m_ofn.lpstrFilter points at
    CString m_fileName;
    CString m_path;
    CWnd* m_parent;
};
