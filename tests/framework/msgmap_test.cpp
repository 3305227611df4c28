// Message-map dispatch as a window procedure sees it: which handler a message
// reaches, with which arguments, and what DispatchFromMap returns for it.
#include <string>

#include <gtest/gtest.h>

#include "framework/cmdtarget.h"

namespace {

const int ID_BASE_ONLY = 100;
const int ID_SHARED = 101;
const int ID_VIRTUAL = 102;
const int ID_QUALIFIED = 103;
const int IDC_GO = 200;
const WORD BN_DOUBLECLICKED_CODE = 5;

// Registered message ids are known only at run time; 0 means not registered.
UINT g_wmStatus = 0xC101;
UINT g_wmLater = 0;

const LRESULT STATUS_RESULT = 77;
const LRESULT BASE_STATUS_RESULT = 11;
const LRESULT LATER_RESULT = 55;
const INT_PTR CURSOR_VALUE = 0x2468;

class CBaseTarget : public CCmdTarget {
  public:
    using CCmdTarget::DispatchFromMap;

    // The handlers that ran, in order, and the arguments the last one got.
    std::string m_ran;
    WPARAM m_wParam = 0;
    LPARAM m_lParam = 0;

    void OnQualified() { m_ran += "OnQualified"; }

  protected:
    void OnBaseOnly() { m_ran += "OnBaseOnly"; }
    void OnSharedBase() { m_ran += "OnSharedBase"; }
    virtual void OnVirtual() { m_ran += "CBaseTarget::OnVirtual"; }
    void OnPaint() { m_ran += "OnPaint"; }
    void OnSysCommand(UINT id, LPARAM lParam) {
        m_ran += "OnSysCommand";
        m_wParam = id;
        m_lParam = lParam;
    }
    LRESULT OnStatusBase(WPARAM, LPARAM) {
        m_ran += "OnStatusBase";
        return BASE_STATUS_RESULT;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseTarget, CCmdTarget)
ON_COMMAND(ID_BASE_ONLY, OnBaseOnly)
ON_COMMAND(ID_SHARED, OnSharedBase)
ON_COMMAND(ID_VIRTUAL, OnVirtual)
ON_WM_PAINT()
ON_REGISTERED_MESSAGE(g_wmStatus, OnStatusBase)
END_MESSAGE_MAP()

class CDerivedTarget : public CBaseTarget {
  protected:
    void OnSharedDerived() { m_ran += "OnSharedDerived"; }
    void OnVirtual() override { m_ran += "CDerivedTarget::OnVirtual"; }
    void OnGo() { m_ran += "OnGo"; }
    HCURSOR OnQueryDragIcon() {
        m_ran += "OnQueryDragIcon";
        return reinterpret_cast<HCURSOR>(CURSOR_VALUE);
    }
    LRESULT OnStatus(WPARAM wParam, LPARAM lParam) {
        m_ran += "OnStatus";
        m_wParam = wParam;
        m_lParam = lParam;
        return STATUS_RESULT;
    }
    LRESULT OnLater(WPARAM wParam, LPARAM lParam) {
        m_ran += "OnLater";
        m_wParam = wParam;
        m_lParam = lParam;
        return LATER_RESULT;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedTarget, CBaseTarget)
ON_REGISTERED_MESSAGE(g_wmLater, OnLater)
ON_COMMAND(ID_SHARED, OnSharedDerived)
ON_BN_CLICKED(IDC_GO, OnGo)
ON_COMMAND(ID_QUALIFIED, CBaseTarget::OnQualified)
ON_WM_SYSCOMMAND()
ON_WM_QUERYDRAGICON()
ON_REGISTERED_MESSAGE(g_wmStatus, OnStatus)
END_MESSAGE_MAP()

} // namespace

TEST(MessageMap, EachMessageReachesTheFirstMatchingEntryOfTheChain) {
    struct Case {
        bool derived;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        const char* ran; // empty: no entry matches
        WPARAM seenWParam;
        LPARAM seenLParam;
        LRESULT result;
    };
    const LPARAM control = 0x1234;
    const Case cases[] = {
        // Commands: the derived entry hides the base one; base entries are
        // reached through the chain and still call the override.
        {true, WM_COMMAND, MAKEWPARAM(ID_BASE_ONLY, 0), 0, "OnBaseOnly", 0, 0, 0},
        {false, WM_COMMAND, MAKEWPARAM(ID_BASE_ONLY, 0), 0, "OnBaseOnly", 0, 0, 0},
        {true, WM_COMMAND, MAKEWPARAM(ID_SHARED, 0), 0, "OnSharedDerived", 0, 0, 0},
        {false, WM_COMMAND, MAKEWPARAM(ID_SHARED, 0), 0, "OnSharedBase", 0, 0, 0},
        {true, WM_COMMAND, MAKEWPARAM(ID_VIRTUAL, 0), 0, "CDerivedTarget::OnVirtual", 0, 0, 0},
        {false, WM_COMMAND, MAKEWPARAM(ID_VIRTUAL, 0), 0, "CBaseTarget::OnVirtual", 0, 0, 0},
        {true, WM_COMMAND, MAKEWPARAM(ID_QUALIFIED, 0), 0, "OnQualified", 0, 0, 0},
        {false, WM_COMMAND, MAKEWPARAM(ID_QUALIFIED, 0), 0, "", 0, 0, 0},
        // A control's notification matches by id and code.
        {true, WM_COMMAND, MAKEWPARAM(IDC_GO, BN_CLICKED), control, "OnGo", 0, 0, 0},
        {true, WM_COMMAND, MAKEWPARAM(IDC_GO, BN_DOUBLECLICKED_CODE), control, "", 0, 0, 0},
        {true, WM_COMMAND, MAKEWPARAM(IDC_GO + 1, BN_CLICKED), control, "", 0, 0, 0},
        // Window messages, with a handler the base class declares.
        {true, WM_SYSCOMMAND, SC_CLOSE, MAKELPARAM(30, 40), "OnSysCommand", SC_CLOSE,
         MAKELPARAM(30, 40), 0},
        {false, WM_SYSCOMMAND, SC_CLOSE, 0, "", 0, 0, 0},
        {true, WM_PAINT, 0, 0, "OnPaint", 0, 0, 0},
        {true, WM_QUERYDRAGICON, 0, 0, "OnQueryDragIcon", 0, 0, CURSOR_VALUE},
        {true, WM_TIMER, 1, 0, "", 0, 0, 0},
        // Registered messages; the entry whose variable is still 0 matches nothing.
        {true, g_wmStatus, 7, -3, "OnStatus", 7, -3, STATUS_RESULT},
        {false, g_wmStatus, 7, -3, "OnStatusBase", 0, 0, BASE_STATUS_RESULT},
        {true, WM_NULL, 0, 0, "", 0, 0, 0},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(testing::Message() << "case " << i);
        CDerivedTarget derived;
        CBaseTarget base;
        CBaseTarget& target = c.derived ? derived : base;
        LRESULT result = -1;
        BOOL handled = target.DispatchFromMap(c.message, c.wParam, c.lParam, &result);
        EXPECT_EQ(target.m_ran, c.ran);
        EXPECT_EQ(handled, *c.ran ? TRUE : FALSE);
        if (!handled)
            continue;
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(target.m_wParam, c.seenWParam);
        EXPECT_EQ(target.m_lParam, c.seenLParam);
    }
}

TEST(MessageMap, RegisteredMessageMatchesOnceItsVariableIsSet) {
    const UINT later = 0xC1FF;
    CDerivedTarget target;
    LRESULT result = -1;
    EXPECT_FALSE(target.DispatchFromMap(later, 1, 2, &result));
    EXPECT_FALSE(target.DispatchFromMap(WM_NULL, 1, 2, &result));
    EXPECT_EQ(target.m_ran, "");

    g_wmLater = later;
    EXPECT_TRUE(target.DispatchFromMap(later, 1, 2, &result));
    g_wmLater = 0;
    EXPECT_EQ(target.m_ran, "OnLater");
    EXPECT_EQ(target.m_wParam, 1u);
    EXPECT_EQ(target.m_lParam, 2);
    EXPECT_EQ(result, LATER_RESULT);
}
