#include "platform/afx/progress.h"

#include <QEventLoop>
#include <QLocale>
#include <QProgressDialog>
#include <QTimer>

#include "platform/afx/qt_text_p.h"
#include "platform/afx/thread.h"
#include "platform/afx/ui_thread_p.h"
#include "platform/afx/winapp.h"
#include "platform/afx/window_table_p.h"

namespace {

constexpr int kRefreshMs = 100;

}  // namespace

void CProgressJob::SetProgress(ULONGLONG done, ULONGLONG total) {
    m_total = total;
    m_done = done;
}

UINT CProgressJob::Entry(LPVOID job) {
    static_cast<CProgressJob*>(job)->Work();
    return 0;
}

BOOL CProgressJob::Run(CWnd* owner, LPCWSTR caption, LPCWSTR text, DWORD delayMs) {
    return afx_detail::OnUi([&] {
        m_canceled = false;
        CWinThread* worker =
            AfxBeginThread(Entry, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED, nullptr);
        worker->m_bAutoDelete = FALSE;
        worker->ResumeThread();
        if (WaitForSingleObject(worker->m_hThread, delayMs) != WAIT_OBJECT_0) {
            CWnd* parentWnd = owner ? owner : AfxGetMainWnd();
            afx_detail::Window* w = parentWnd ? afx_detail::Find(parentWnd->m_hWnd) : nullptr;
            QProgressDialog dialog(w && w->widget ? w->widget->window() : nullptr);
            dialog.setWindowTitle(afx_detail::ToQString(caption));
            dialog.setWindowModality(Qt::ApplicationModal);
            dialog.setAutoClose(false);
            dialog.setAutoReset(false);
            dialog.setMinimumDuration(0);
            dialog.setRange(0, 1000);
            const QString pattern = afx_detail::ToQString(text);
            QEventLoop loop;
            QTimer refresh;
            auto update = [&] {
                const ULONGLONG done = m_done;
                const ULONGLONG total = m_total;
                const QLocale locale;
                dialog.setLabelText(pattern.arg(locale.toString(done), locale.toString(total)));
                dialog.setValue(total ? static_cast<int>(1000 * std::min(done, total) / total) : 0);
                if (WaitForSingleObject(worker->m_hThread, 0) == WAIT_OBJECT_0) {
                    loop.exit();
                } else if (m_canceled) {
                    OnCancel();  // a step that began just as Cancel came ends too
                }
            };
            QObject::connect(&refresh, &QTimer::timeout, update);
            QObject::connect(&dialog, &QProgressDialog::canceled, [&] {
                if (!m_canceled.exchange(true)) {
                    OnCancel();
                }
                // A step ends at once: the window need not wait for its next refresh.
                if (WaitForSingleObject(worker->m_hThread, kRefreshMs) == WAIT_OBJECT_0) {
                    loop.exit();
                }
            });
            update();
            dialog.show();
            refresh.start(kRefreshMs);
            loop.exec();
        }
        delete worker;  // joins
        return m_canceled ? FALSE : TRUE;
    });
}
