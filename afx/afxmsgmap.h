// Message maps: per class, a table of (message, notification code, control id,
// handler); a message no row matches is looked up in the base class's table.
#pragma once

#include <windows.h>

#include <type_traits>

class CCmdTarget;

// Each row calls its handler through a small function made for that handler, which
// knows the handler's class and return type: the table holds no member pointer cast
// to a common type, and a handler's result becomes the message's result.
typedef LRESULT (*AFX_PMSG)(CCmdTarget* target);

template <class Pmf>
struct AfxHandlerOf;
template <class Class, class Result>
struct AfxHandlerOf<Result (Class::*)()> {
    using Target = Class;
};

template <auto pmf>
LRESULT AfxCallHandler(CCmdTarget* target) {
    auto* object = static_cast<typename AfxHandlerOf<decltype(pmf)>::Target*>(target);
    if constexpr (std::is_void_v<decltype((object->*pmf)())>) {
        (object->*pmf)();
        return 0;
    } else {
        return reinterpret_cast<LRESULT>((object->*pmf)());
    }
}

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;
    UINT nCode;  // notification code, for WM_COMMAND rows
    UINT nID;    // control or command id, for WM_COMMAND rows
    AFX_PMSG pfn;  // null ends a table
    UINT (*pfnRegistered)() = nullptr;  // a registered message's row: its number
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
    {0, 0, 0, nullptr}};                                                                     \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
    return &messageMap;                                                                      \
    }

// Rows. memberFxn is a member name of the class, or Base::Member for a base's handler.
#define ON_COMMAND(id, memberFxn) \
    {WM_COMMAND, CN_COMMAND, (UINT)(id), &AfxCallHandler<&ThisClass::memberFxn>},

#define ON_BN_CLICKED(id, memberFxn) \
    {WM_COMMAND, BN_CLICKED, (UINT)(id), &AfxCallHandler<&ThisClass::memberFxn>},

// A system-menu item's command; the system's own bits (the low four) are not compared.
#define ON_SYSCOMMAND(id, memberFxn) {WM_SYSCOMMAND, 0, (UINT)(id), &AfxCallHandler<&ThisClass::memberFxn>},

// A message registered at run time (RegisterWindowMessage). pfnMessage returns its number
// and may register it on its first call: it is called only when a message of the
// registered range (0xC000 and up) arrives, so a window that is sent none never pays.
#define ON_REGISTERED_MESSAGE(pfnMessage, memberFxn) {0, 0, 0, &AfxCallHandler<&ThisClass::memberFxn>, &pfnMessage},

#define ON_WM_PAINT() {WM_PAINT, 0, 0, &AfxCallHandler<&ThisClass::OnPaint>},

#define ON_WM_NCDESTROY() {WM_NCDESTROY, 0, 0, &AfxCallHandler<&ThisClass::OnNcDestroy>},

// HCURSOR OnQueryDragIcon(): the handle it returns is the message's result.
#define ON_WM_QUERYDRAGICON() {WM_QUERYDRAGICON, 0, 0, &AfxCallHandler<&ThisClass::OnQueryDragIcon>},
