// Files for the dialogs: CFile (over CreateFileW / ReadFile) and the file-open dialog.
#pragma once

#include "platform/afx/wnd.h"

// A file opened for reading, alone: the only way the tool opens one.
class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        shareExclusive = 0x0010,
    };

    CFile() = default;
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Opens an existing file for reading with no other open of it meanwhile, whatever the flags
    // (modeRead, shareExclusive); FALSE when it cannot be opened (the last error says why).
    BOOL Open(LPCWSTR path, UINT flags);
    // The count read; 0 at the end of the file or on failure.
    UINT Read(void* buffer, UINT count);
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
    DWORD Flags;
};
using OPENFILENAME = OPENFILENAMEW;

// The file-open dialog, for an existing file (the tool asks for no other: the first three
// arguments are taken as TRUE and none). The filter is written as "label|pattern|...||";
// "*.*" takes every file, as on the system. A missing initial folder starts in the home folder.
class CFileDialog : public CCmdTarget {
public:
    CFileDialog(BOOL openFileDialog, LPCWSTR defaultExt = nullptr, LPCWSTR fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCWSTR filter = nullptr,
                CWnd* parent = nullptr);

    // IDOK when a file was chosen, IDCANCEL otherwise.
    virtual INT_PTR DoModal();
    // The chosen file's full path in the path view.
    CString GetPathName() const { return m_path; }

    OPENFILENAME m_ofn{};

private:
    CString m_filter;  // the pairs, NUL-separated, as m_ofn.lpstrFilter points at
    CString m_path;
    CWnd* m_parent;
};
