// Objects of the agent that a document calls back: one reference per registration.
#pragma once

#include "platform/com/com_ptr.h"
#include "platform/com/result.h"

#include <algorithm>
#include <vector>

namespace nuvsim {

template <class T>
class Registrations {
public:
    HRESULT Add(T* object) {
        RETURN_HR_IF(E_INVALIDARG, !object);
        m_items.push_back(ComPtr<T>::copy(object));
        return S_OK;
    }

    // Gives back the reference of one registration of object.
    HRESULT Remove(T* object) {
        RETURN_HR_IF(E_INVALIDARG, !object);
        const auto found = std::find_if(m_items.begin(), m_items.end(),
                                        [object](const ComPtr<T>& item) { return item.get() == object; });
        RETURN_HR_IF(E_FAIL, found == m_items.end());
        // Released only after the list is consistent: the release may call back in.
        ComPtr<T> removed = std::move(*found);
        m_items.erase(found);
        return S_OK;
    }

    // One reference per distinct object, in order of first registration.
    std::vector<ComPtr<T>> Distinct() const {
        std::vector<ComPtr<T>> distinct;
        for (const ComPtr<T>& item : m_items) {
            const bool seen = std::any_of(distinct.begin(), distinct.end(),
                                          [&item](const ComPtr<T>& other) { return other.get() == item.get(); });
            if (!seen) distinct.push_back(item);
        }
        return distinct;
    }

    std::vector<ComPtr<T>> TakeAll() { return std::exchange(m_items, {}); }
    int Count() const { return static_cast<int>(m_items.size()); }

private:
    std::vector<ComPtr<T>> m_items;
};

}  // namespace nuvsim
