#include "pages/card_page.h"

#include "io/port.h"
#include "io/write.h"

namespace {

// The track byte of each item of the list: Track1, Track2, Track1,2, Track3, Track2,3.
constexpr BYTE kTrackBytes[] = {0x46, 0x47, 0x48, 0x44, 0x45};
constexpr int kItemHeight = 40;

}  // namespace

BEGIN_MESSAGE_MAP(CCardPage, CDialog)
ON_CBN_SELCHANGE(IDC_TRACK, OnSelchangeTrack)
ON_BN_CLICKED(IDC_CARD_HEX, OnHex)
ON_BN_CLICKED(IDC_AUTO_RECV_SWITCH, OnAutoRecvSwitch)
END_MESSAGE_MAP()

CCardPage::CCardPage() : CDialog(IDD_CARD) {}

void CCardPage::DoDataExchange(CDataExchange* dx) {
    CSingleLock lock(m_pRecvLock, TRUE);
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_RECV, m_recvEdit);
    DDX_Control(dx, IDC_TRACK, m_trackCombo);
    DDX_Text(dx, IDC_RECV, m_recvText);
    DDX_Check(dx, IDC_CARD_HEX, m_recvHex);
}

BOOL CCardPage::OnInitDialog() {
    CDialog::OnInitDialog();
    m_trackCombo.SetWindowText(_T("Please Select Track"));
    m_trackCombo.SetItemHeight(0, kItemHeight);
    m_trackCombo.SetItemHeight(-1, kItemHeight);  // the selection field
    return 1;
}

void CCardPage::Write(const BYTE* bytes, int length) {
    WriteBytes(PortThrough(m_pPort), bytes, length);
}

void CCardPage::OnSelchangeTrack() {
    {
        CSingleLock lock(m_pRecvLock, TRUE);
        m_recvText.Empty();
        UpdateData(FALSE);
    }
    const auto selected = static_cast<int>(m_trackCombo.SendMessage(CB_GETCURSEL, 0, 0));
    const BYTE track = selected >= 0 && selected < static_cast<int>(sizeof kTrackBytes)
                           ? kTrackBytes[selected]
                           : 0x00;
    const BYTE command[] = {0x1B, 0x4D, track, 0x1B, 0x4D, 0x49};
    Write(command, sizeof command);
}

void CCardPage::OnHex() {
    UpdateData(TRUE);
}

void CCardPage::OnAutoRecvSwitch() {
    const int answer = MessageBox(_T("Press Yes:Switch On\r\nPress No:Switch Off"), nullptr,
                                  MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDYES) {
        const BYTE on[] = {0x1D, 0x46, 0x03, 0x55};
        Write(on, sizeof on);
    } else if (answer == IDNO) {
        const BYTE off[] = {0x1D, 0x46, 0x03, 0xAA};
        Write(off, sizeof off);
    }
}
