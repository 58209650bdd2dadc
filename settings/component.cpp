#include "settings/component.h"

#include <algorithm>

TComponent::TComponent(TComponent* owner)
    : m_owner(owner)
{
    if (m_owner) {
        m_owner->m_components.push_back(this);
    }
}

TComponent::~TComponent()
{
    // Owned components go last-inserted first; each is unhooked before it is destroyed so it
    // does not reach back into this list.
    while (!m_components.empty()) {
        TComponent* component = m_components.back();
        m_components.pop_back();
        component->m_owner = nullptr;
        delete component;
    }
    if (m_owner) {
        auto& siblings = m_owner->m_components;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
}

void TComponent::LoadingComplete()
{
    SetLoading(false);
}

void TComponent::SetDesigning(bool on)
{
    m_state = on ? m_state | csDesigning : m_state & ~csDesigning;
}

void TComponent::SetLoading(bool on)
{
    m_state = on ? m_state | csLoading : m_state & ~csLoading;
}
