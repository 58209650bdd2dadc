#pragma once

#include <string>
#include <vector>

/// The component base: an owner that destroys what it owns, a name, and a component state with
/// a loading flag and a designing flag.
class TComponent
{
public:
    enum StateFlag : unsigned { csLoading = 1u << 0, csDesigning = 1u << 1 };

    explicit TComponent(TComponent* owner);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    /// Called once after the stored properties of all components have been applied; ends loading.
    virtual void LoadingComplete();

    TComponent* Owner() const { return m_owner; }
    const std::string& Name() const { return m_name; }
    void SetName(std::string name) { m_name = std::move(name); }

    unsigned ComponentState() const { return m_state; }
    void SetDesigning(bool on);
    void SetLoading(bool on);

private:
    TComponent* m_owner;
    std::string m_name;
    unsigned m_state = 0;
    std::vector<TComponent*> m_components;
};
