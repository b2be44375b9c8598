#include "pages/send_file.h"

#include "io/port.h"
#include "io/write.h"

namespace {

// About a second of a 9600-baud line: Cancel never waits longer for a chunk to go out.
constexpr UINT kChunkBytes = 1024;
constexpr DWORD kProgressDelayMs = 1000;

class FileSend : public CProgressJob {
public:
    FileSend(CFile& file, const std::atomic<HANDLE>* port) : m_file(file), m_port(port) {}

protected:
    void Work() override {
        const ULONGLONG total = m_file.GetLength();
        ULONGLONG sent = 0;
        BYTE chunk[kChunkBytes];
        while (!IsCanceled()) {
            const UINT n = m_file.Read(chunk, kChunkBytes);
            if (n == 0) {
                break;  // the end, or the file cannot be read any further
            }
            const int written = WriteBytesCounted(Port(), chunk, static_cast<int>(n),
                                                  [this] { return IsCanceled() != FALSE; });
            sent += static_cast<ULONGLONG>(written);
            SetProgress(sent, std::max(total, sent));
            if (written != static_cast<int>(n)) {
                break;  // the port gave up or the send was canceled: what went out is a prefix
            }
        }
    }
    // A chunk that waits for a port that takes nothing ends now.
    void OnCancel() override { PurgeComm(Port(), PURGE_TXABORT); }

private:
    HANDLE Port() const { return PortThrough(m_port); }

    CFile& m_file;
    const std::atomic<HANDLE>* m_port;
};

}  // namespace

BOOL SendFile(CFile& file, const std::atomic<HANDLE>* port, CWnd* owner) {
    FileSend job(file, port);
    return job.Run(owner, _T("SendFile"), _T("Sent %1 of %2 bytes"), kProgressDelayMs);
}
