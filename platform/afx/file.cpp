#include "platform/afx/file.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "platform/afx/qt_text_p.h"
#include "platform/afx/ui_thread_p.h"
#include "platform/afx/winapp.h"
#include "platform/afx/window_table_p.h"
#include "platform/win/device.h"
#include "platform/win/error.h"
#include "platform/win/file.h"
#include "platform/win/handles.h"
#include "platform/win/text.h"

CFile::~CFile() {
    Close();
}

BOOL CFile::Open(LPCWSTR path, UINT /*flags*/) {
    Close();
    m_hFile = CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    return m_hFile != INVALID_HANDLE_VALUE ? TRUE : FALSE;
}

UINT CFile::Read(void* buffer, UINT count) {
    DWORD done = 0;
    return ReadFile(m_hFile, buffer, count, &done, nullptr) ? done : 0;
}

ULONGLONG CFile::GetLength() const {
    DWORD high = 0;
    const DWORD low = GetFileSize(m_hFile, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != ERROR_SUCCESS) {
        return 0;
    }
    return (static_cast<ULONGLONG>(high) << 32) | low;
}

void CFile::Close() {
    if (m_hFile != INVALID_HANDLE_VALUE) {
        CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
    }
}

namespace {

// "label|pattern|label|pattern||" as Qt's "label (patterns)" entries.
QStringList NameFilters(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty()) {
            break;
        }
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        patterns.replace(QStringLiteral("*.*"), QStringLiteral("*"));
        filters << parts[i] + QStringLiteral(" (") + patterns + u')';
    }
    return filters;
}

}  // namespace

CFileDialog::CFileDialog(BOOL /*openFileDialog*/, LPCWSTR /*defaultExt*/, LPCWSTR /*fileName*/,
                         DWORD flags, LPCWSTR filter, CWnd* parent)
    : m_filter(filter), m_parent(parent) {
    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.Flags = flags;
    m_ofn.lpstrFilter = m_filter;
}

INT_PTR CFileDialog::DoModal() {
    return afx_detail::OnUi([&]() -> INT_PTR {
        CWnd* owner = m_parent ? m_parent : AfxGetMainWnd();
        afx_detail::Window* window = owner ? afx_detail::Find(owner->m_hWnd) : nullptr;
        QWidget* parent = window && window->widget ? window->widget->window() : nullptr;

        QString folder = QString::fromStdString(ToPosixPath(m_ofn.lpstrInitialDir));
        if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
            folder = QDir::homePath();
        }
        QFileDialog dialog(parent, QString(), folder);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        // The labels already name their patterns; Qt's own copy would repeat them.
        dialog.setOption(QFileDialog::HideNameFilterDetails);
        dialog.setFileMode(QFileDialog::ExistingFile);
        const QStringList filters = NameFilters(afx_detail::ToQString(m_filter));
        if (!filters.isEmpty()) {
            dialog.setNameFilters(filters);
            const int index = m_ofn.nFilterIndex > 0 ? static_cast<int>(m_ofn.nFilterIndex) - 1 : 0;
            dialog.selectNameFilter(filters.value(index, filters.front()));
        }
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return IDCANCEL;
        }
        m_path = FromPosixPath(dialog.selectedFiles().front().toStdString());
        return IDOK;
    });
}
