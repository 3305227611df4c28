// Message maps: each class lists the messages it handles in a static table
// that chains to its base class's table; the first matching entry wins.
#pragma once

#include <windows.h>

class CCmdTarget;

// Handler signatures; each entry holds its handler in the member of its own
// signature, so no handler is ever called through a converted pointer.
typedef void AfxFn_vv();
typedef void AfxFn_vwl(UINT, LPARAM);
typedef HCURSOR AfxFn_hv();
typedef LRESULT AfxFn_lwl(WPARAM, LPARAM);
template <class C, class F> using AfxMember = F C::*;

// How an entry's handler is called.
enum AfxSig {
    AfxSig_end = 0,
    AfxSig_vv,  // void f()
    AfxSig_vwl, // void f(UINT, LPARAM): WM_SYSCOMMAND
    AfxSig_hv,  // HCURSOR f(): WM_QUERYDRAGICON
    AfxSig_lwl, // LRESULT f(WPARAM, LPARAM): registered messages
};

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;           // WM_ message, or 0 for a registered one
    UINT nCode;              // WM_COMMAND: notification code
    UINT nID;                // WM_COMMAND: control or command id
    const UINT* pRegistered; // registered message: its variable
    AfxSig nSig;
    AfxMember<CCmdTarget, AfxFn_vv> pfnVV;
    AfxMember<CCmdTarget, AfxFn_vwl> pfnVWL;
    AfxMember<CCmdTarget, AfxFn_hv> pfnHV;
    AfxMember<CCmdTarget, AfxFn_lwl> pfnLWL;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                                                                      \
  protected:                                                                                       \
    static const AFX_MSGMAP* GetThisMessageMap();                                                  \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    const AFX_MSGMAP* theClass::GetMessageMap() const {                                            \
        return GetThisMessageMap();                                                                \
    }                                                                                              \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                              \
        typedef theClass ThisClass [[maybe_unused]];                                               \
        typedef baseClass TheBaseClass;                                                            \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                                          \
    { 0, 0, 0, nullptr, AfxSig_end, nullptr, nullptr, nullptr, nullptr }                           \
    }                                                                                              \
    ;                                                                                              \
    static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, &entries[0]};                 \
    return &map;                                                                                   \
    }

// A handler of this class (or a base), as a member of CCmdTarget.
#define AFX_HANDLER(F, member)                                                                     \
    static_cast<AfxMember<CCmdTarget, F>>(static_cast<AfxMember<ThisClass, F>>(&ThisClass::member))

#define ON_COMMAND(id, member)                                                                     \
    {WM_COMMAND, 0,         static_cast<UINT>(id),                                                 \
     nullptr,    AfxSig_vv, AFX_HANDLER(AfxFn_vv, member),                                         \
     nullptr,    nullptr,   nullptr},
#define ON_BN_CLICKED(id, member)                                                                  \
    {WM_COMMAND, BN_CLICKED, static_cast<UINT>(id),                                                \
     nullptr,    AfxSig_vv,  AFX_HANDLER(AfxFn_vv, member),                                        \
     nullptr,    nullptr,    nullptr},
#define ON_WM_SYSCOMMAND()                                                                         \
    {WM_SYSCOMMAND, 0,      0, nullptr, AfxSig_vwl, nullptr, AFX_HANDLER(AfxFn_vwl, OnSysCommand), \
     nullptr,       nullptr},
#define ON_WM_PAINT()                                                                              \
    {WM_PAINT, 0, 0, nullptr, AfxSig_vv, AFX_HANDLER(AfxFn_vv, OnPaint), nullptr, nullptr, nullptr},
#define ON_WM_QUERYDRAGICON()                                                                      \
    {WM_QUERYDRAGICON, 0,       0,       nullptr,                                                  \
     AfxSig_hv,        nullptr, nullptr, AFX_HANDLER(AfxFn_hv, OnQueryDragIcon),                   \
     nullptr},
#define ON_REGISTERED_MESSAGE(variable, member)                                                    \
    {0, 0, 0, &variable, AfxSig_lwl, nullptr, nullptr, nullptr, AFX_HANDLER(AfxFn_lwl, member)},
