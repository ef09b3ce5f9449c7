#include "ChangingLayer.h"

namespace {

bool SameItems(const std::vector<ItemState>& a, const std::vector<ItemState>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].item != b[i].item)
            return false;
    return true;
}

// The only live item, when exactly one is live.
std::optional<size_t> OnlyLiveItem(const std::vector<ItemState>& items)
{
    std::optional<size_t> live;
    for (size_t i = 0; i < items.size(); ++i) {
        if (!items[i].live)
            continue;
        if (live)
            return std::nullopt;
        live = i;
    }
    return live;
}

}  // namespace

void ChangingLayer::Forget()
{
    m_last.clear();
    m_changedLastFrame.reset();
    m_current.reset();
}

std::optional<size_t> ChangingLayer::Follow(const std::vector<ItemState>& items)
{
    if (!SameItems(items, m_last)) {
        Forget();
        m_last = items;
        // A live picture just put in a layer keeps changing from its first
        // frame: drawn apart at once, the frame does not draw every layer
        // first and compose them next.
        m_current = OnlyLiveItem(items);
        return m_current;
    }
    std::vector<size_t> changed;
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].live || !(items[i] == m_last[i]))
            changed.push_back(i);
    m_last = items;
    if (changed.size() > 1) {
        m_changedLastFrame.reset();
        m_current.reset();
        return std::nullopt;
    }
    if (changed.empty()) {
        // A pause in a drag keeps the layers apart: nothing to compose again.
        m_changedLastFrame.reset();
        return m_current;
    }
    const size_t index = changed.front();
    // The same layer two frames running, or live: it keeps changing.
    if (items[index].live || m_changedLastFrame == index || m_current == index)
        m_current = index;
    else
        m_current.reset();
    m_changedLastFrame = index;
    return m_current;
}
