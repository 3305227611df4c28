#include "shell/buttons_dlg.h"

#include "resources/resource.h"

// OK and Cancel are CDialog's: OK takes the values only when all four pass.
BEGIN_MESSAGE_MAP(CButtonsDlg, CDialog)
END_MESSAGE_MAP()

CButtonsDlg::CButtonsDlg(CWnd* parent)
    : CDialog(IDD_BUTTONS_DIALOG, parent), m_nButtonA1(1), m_nButtonA2(2), m_nButtonB1(3),
      m_nButtonB2(4) {
    // The template's spin controls are comctl32's; without this call their
    // class does not exist and the dialog cannot be created.
    InitCommonControls();
}

CButtonsDlg::~CButtonsDlg() = default;

void CButtonsDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SPIN4, m_spin4);
    DDX_Control(pDX, IDC_SPIN3, m_spin3);
    DDX_Control(pDX, IDC_SPIN2, m_spin2);
    DDX_Control(pDX, IDC_SPIN1, m_spin1);
    // Each value is checked as soon as it is read, so a bad one stops the
    // exchange before the edits below it are looked at.
    DDX_Text(pDX, IDC_EDIT_A1, m_nButtonA1);
    DDV_MinMaxUInt(pDX, m_nButtonA1, 1, 8);
    DDX_Text(pDX, IDC_EDIT_A2, m_nButtonA2);
    DDV_MinMaxUInt(pDX, m_nButtonA2, 1, 8);
    DDX_Text(pDX, IDC_EDIT_B1, m_nButtonB1);
    DDV_MinMaxUInt(pDX, m_nButtonB1, 1, 8);
    DDX_Text(pDX, IDC_EDIT_B2, m_nButtonB2);
    DDV_MinMaxUInt(pDX, m_nButtonB2, 1, 8);
}

BOOL CButtonsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // Lower bound first, so that the up arrow counts up. The spin writes
    // its position into the edit, so a stored number that its 16 bits and
    // the range do not hold shows as what the spin made of it.
    CSpinButtonCtrl* spins[] = {&m_spin1, &m_spin2, &m_spin3, &m_spin4};
    UINT values[] = {m_nButtonA1, m_nButtonA2, m_nButtonB1, m_nButtonB2};
    for (int i = 0; i < 4; ++i) {
        spins[i]->SetRange(1, 8);
        spins[i]->SetPos(LOWORD(values[i]));
    }
    return TRUE;
}
