// Message maps: each class lists the messages it handles in a static table
// that chains to its base class's table; the first matching entry wins.
#pragma once

#include <windows.h>

class CCmdTarget;

// Each entry calls its handler through a thunk instantiated for that very
// member function, so no handler is ever called through a converted pointer
// and a new handler signature needs no change to the dispatch.
typedef LRESULT (*AFX_PMSGTHUNK)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;           // WM_ message, or 0 for a registered one
    UINT nCode;              // WM_COMMAND: notification code
    UINT nID;                // WM_COMMAND: control or command id
    const UINT* pRegistered; // registered message: its variable
    AFX_PMSGTHUNK pfnThunk;  // null ends the table
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// One thunk template per handler signature: how it takes wParam and lParam,
// and what of its result the message returns. T is the class that declares
// the handler; the target is of the map's class, which derives from T.
template <class T, void (T::*pfn)()> LRESULT AfxThunk_vv(CCmdTarget* target, WPARAM, LPARAM) {
    (static_cast<T*>(target)->*pfn)();
    return 0;
}

template <class T, void (T::*pfn)(UINT, LPARAM)>
LRESULT AfxThunk_vwl(CCmdTarget* target, WPARAM wParam, LPARAM lParam) {
    (static_cast<T*>(target)->*pfn)(static_cast<UINT>(wParam), lParam);
    return 0;
}

template <class T, HCURSOR (T::*pfn)()> LRESULT AfxThunk_hv(CCmdTarget* target, WPARAM, LPARAM) {
    return reinterpret_cast<LRESULT>((static_cast<T*>(target)->*pfn)());
}

template <class T, LRESULT (T::*pfn)(WPARAM, LPARAM)>
LRESULT AfxThunk_lwl(CCmdTarget* target, WPARAM wParam, LPARAM lParam) {
    return (static_cast<T*>(target)->*pfn)(wParam, lParam);
}

template <class M> struct AfxDeclaringClass;
template <class T, class F> struct AfxDeclaringClass<F T::*> { typedef T type; };

// The thunk for a handler of this class or a base. A template argument may
// not convert a base's member pointer to the derived class, so the thunk is
// instantiated for the class that declares the handler.
#define AFX_THUNK(thunk, member)                                                                   \
    &thunk<AfxDeclaringClass<decltype(&ThisClass::member)>::type, &ThisClass::member>

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
    { 0, 0, 0, nullptr, nullptr }                                                                  \
    }                                                                                              \
    ;                                                                                              \
    static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, &entries[0]};                 \
    return &map;                                                                                   \
    }

#define ON_COMMAND(id, member)                                                                     \
    {WM_COMMAND, 0, static_cast<UINT>(id), nullptr, AFX_THUNK(AfxThunk_vv, member)},
#define ON_BN_CLICKED(id, member)                                                                  \
    {WM_COMMAND, BN_CLICKED, static_cast<UINT>(id), nullptr, AFX_THUNK(AfxThunk_vv, member)},
#define ON_WM_SYSCOMMAND() {WM_SYSCOMMAND, 0, 0, nullptr, AFX_THUNK(AfxThunk_vwl, OnSysCommand)},
#define ON_WM_PAINT() {WM_PAINT, 0, 0, nullptr, AFX_THUNK(AfxThunk_vv, OnPaint)},
#define ON_WM_QUERYDRAGICON()                                                                      \
    {WM_QUERYDRAGICON, 0, 0, nullptr, AFX_THUNK(AfxThunk_hv, OnQueryDragIcon)},
#define ON_REGISTERED_MESSAGE(variable, member)                                                    \
    {0, 0, 0, &variable, AFX_THUNK(AfxThunk_lwl, member)},
