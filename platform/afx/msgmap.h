// Message maps: constant tables from (message, notification code, control id) to member
// functions, looked up by one dispatch function that falls through to the base class's table.
//
// A class declares its map with DECLARE_MESSAGE_MAP() and defines it between
// BEGIN_MESSAGE_MAP(Class, Base) and END_MESSAGE_MAP() with the ON_... entries below. Each
// entry carries a small invoker generated from the handler's own type, so handlers keep their
// natural signatures and no member-function pointer is ever cast to another type.
#pragma once

#include <type_traits>

#include "platform/afx/gui_types.h"

class CCmdTarget;

namespace afx_detail {

using Invoker = LRESULT (*)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);

template <class T>
struct Handler;
template <class C, class R, class... A>
struct Handler<R (C::*)(A...)> {
    using Class = C;
};

// Adapts the message parameters to the handler's signature.
template <auto H>
LRESULT Invoke(CCmdTarget* target, WPARAM w, LPARAM l) {
    using C = typename Handler<decltype(H)>::Class;
    C* self = static_cast<C*>(target);
    using F = decltype(H);
    if constexpr (std::is_same_v<F, void (C::*)()>) {
        (self->*H)();
        return 0;
    } else if constexpr (std::is_same_v<F, void (C::*)(UINT_PTR)>) {
        (self->*H)(static_cast<UINT_PTR>(w));
        return 0;
    } else if constexpr (std::is_same_v<F, void (C::*)(UINT, CPoint)>) {
        (self->*H)(static_cast<UINT>(w), CPoint(GET_X_LPARAM(l), GET_Y_LPARAM(l)));
        return 0;
    } else if constexpr (std::is_same_v<F, void (C::*)(NMHDR*, LRESULT*)>) {
        LRESULT result = 0;
        (self->*H)(reinterpret_cast<NMHDR*>(l), &result);
        return result;
    } else if constexpr (std::is_same_v<F, BOOL (C::*)(NMHDR*, LRESULT*)>) {
        // Reflected notifications: the BOOL says whether the parent is spared the notice.
        LRESULT result = 0;
        return (self->*H)(reinterpret_cast<NMHDR*>(l), &result);
    } else if constexpr (std::is_same_v<F, LRESULT (C::*)(WPARAM, LPARAM)>) {
        return (self->*H)(w, l);
    } else {
        static_assert(sizeof(F) == 0, "no message map adapter for this handler signature");
    }
}

}  // namespace afx_detail

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // WM_COMMAND, WM_NOTIFY, a reflected notice, or any other message
    UINT nCode;     // notification code (BN_CLICKED...), 0 for plain messages
    UINT nID;       // control id, 0 for plain messages
    afx_detail::Invoker pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Reflected notifications reach the control that sent them, before its parent.
constexpr UINT WM_REFLECT_BASE = 0xBC00;

class CObject {
public:
    virtual ~CObject() = default;
};

class CCmdTarget : public CObject {
public:
    // The entry for the message in this object's map or its bases' maps, or nullptr.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT message, UINT code, UINT id) const;

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

#define DECLARE_MESSAGE_MAP()                         \
protected:                                            \
    static const AFX_MSGMAP* GetThisMessageMap();     \
    const AFX_MSGMAP* GetMessageMap() const override; \
                                                      \
protected:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)          \
    const AFX_MSGMAP* theClass::GetMessageMap() const { \
        return GetThisMessageMap();                     \
    }                                                   \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {   \
        using ThisClass [[maybe_unused]] = theClass;    \
        using TheBaseClass = baseClass;                 \
        static const AFX_MSGMAP_ENTRY entries[] = {
#define END_MESSAGE_MAP()                                                      \
    { 0, 0, 0, nullptr }                                                       \
    }                                                                          \
    ;                                                                          \
    static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, entries}; \
    return &map;                                                               \
    }

#define ON_MESSAGE(message, memberFxn)                                        \
    {message, 0, 0,                                                           \
     &afx_detail::Invoke<static_cast<LRESULT (ThisClass::*)(WPARAM, LPARAM)>( \
         &ThisClass::memberFxn)>},
#define ON_BN_CLICKED(id, memberFxn) \
    {WM_COMMAND, BN_CLICKED, static_cast<UINT>(id), &afx_detail::Invoke<&ThisClass::memberFxn>},
#define ON_CBN_SELCHANGE(id, memberFxn) \
    {WM_COMMAND, CBN_SELCHANGE, static_cast<UINT>(id), &afx_detail::Invoke<&ThisClass::memberFxn>},
#define ON_NOTIFY(code, id, memberFxn)                          \
    {WM_NOTIFY, static_cast<UINT>(code), static_cast<UINT>(id), \
     &afx_detail::Invoke<&ThisClass::memberFxn>},
#define ON_NOTIFY_REFLECT_EX(code, memberFxn)                 \
    {WM_REFLECT_BASE + WM_NOTIFY, static_cast<UINT>(code), 0, \
     &afx_detail::Invoke<&ThisClass::memberFxn>},
#define ON_WM_DESTROY() {WM_DESTROY, 0, 0, &afx_detail::Invoke<&ThisClass::OnDestroy>},
#define ON_WM_TIMER() {WM_TIMER, 0, 0, &afx_detail::Invoke<&ThisClass::OnTimer>},
#define ON_WM_LBUTTONDOWN() {WM_LBUTTONDOWN, 0, 0, &afx_detail::Invoke<&ThisClass::OnLButtonDown>},
