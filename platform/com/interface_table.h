// Interface lookup from one table whose rows name types, in the manner of
// C++/WinRT's implements<>: an object lists what it answers, and the lookup
// is generated from the list.
//   using Interfaces = InterfaceTable<Answer<IUnknown, IFoo>, Answer<IFoo>, Answer<IBar>>;
//   IUnknown* found = Interfaces::Find(this, iid);   // null: not answered
#pragma once

#include "platform/com/com.h"

// One row: asked for Asked, the object answers with its base Answering (for
// IUnknown, the base that is the object's identity).
template <typename Asked, typename Answering = Asked>
struct Answer {};

template <typename... Rows>
struct InterfaceTable;

template <typename... Asked, typename... Answering>
struct InterfaceTable<Answer<Asked, Answering>...> {
    // The first row's interface for iid, without a reference taken; null
    // when no row answers it.
    template <typename Object>
    static IUnknown* Find(Object* object, REFIID iid) {
        IUnknown* found = nullptr;
        (void)((IsEqualGUID(iid, iid_of<Asked>) && (found = static_cast<Answering*>(object), true)) || ...);
        return found;
    }
};
