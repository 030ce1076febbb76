// Message maps: per class, a table of (message, notification code, control id,
// handler); a message no row matches is looked up in the base class's table.
#pragma once

#include <windows.h>

class CCmdTarget;
class CWnd;

typedef void (CCmdTarget::*AFX_PMSG)();

// How a row's handler is called and what it returns.
enum AfxSig : UINT {
    AfxSig_end = 0,  // ends a table
    AfxSig_vv,       // void Handler()
    AfxSig_hv,       // HCURSOR Handler(), its handle is the message's result
};

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;
    UINT nCode;  // notification code, for WM_COMMAND rows
    UINT nID;    // control or command id, for WM_COMMAND rows
    UINT nSig;
    AFX_PMSG pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();  // null for the root
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define CN_COMMAND 0

#define DECLARE_MESSAGE_MAP()                          \
protected:                                             \
    static const AFX_MSGMAP* GetThisMessageMap();      \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                          \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                  \
        using ThisClass [[maybe_unused]] = theClass;                                    \
        using TheBaseClass = baseClass;                                                 \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                    \
    {0, 0, 0, AfxSig_end, nullptr}};                                                         \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
    return &messageMap;                                                                      \
    }

// Rows. memberFxn is a member name of the class, or Base::Member for a base's handler.
#define ON_COMMAND(id, memberFxn) \
    {WM_COMMAND, CN_COMMAND, (UINT)(id), AfxSig_vv, static_cast<AFX_PMSG>(&ThisClass::memberFxn)},

#define ON_BN_CLICKED(id, memberFxn) \
    {WM_COMMAND, BN_CLICKED, (UINT)(id), AfxSig_vv, static_cast<AFX_PMSG>(&ThisClass::memberFxn)},

#define ON_WM_PAINT() \
    {WM_PAINT, 0, 0, AfxSig_vv, static_cast<AFX_PMSG>(&ThisClass::OnPaint)},

// The handler is kept under the common type void (CCmdTarget::*)(); the signature
// code tells the dispatcher its real type.
#define ON_WM_QUERYDRAGICON()                                                             \
    {WM_QUERYDRAGICON, 0, 0, AfxSig_hv,                                                   \
     static_cast<AFX_PMSG>(reinterpret_cast<void (CWnd::*)()>(                            \
         static_cast<HCURSOR (CWnd::*)()>(&ThisClass::OnQueryDragIcon)))},
