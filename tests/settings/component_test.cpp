#include "settings/component.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

// Writes its name into a shared log when destroyed.
class Logged : public TComponent
{
public:
    Logged(TComponent* owner, std::string name, std::vector<std::string>& log)
        : TComponent(owner)
        , m_log(log)
    {
        SetName(std::move(name));
    }
    ~Logged() override { m_log.push_back(Name()); }

private:
    std::vector<std::string>& m_log;
};

TEST(Component, OwnerDestroysWhatItOwnsLastFirst)
{
    std::vector<std::string> log;
    {
        Logged window(nullptr, "window", log);
        auto* first = new Logged(&window, "first", log);
        new Logged(&window, "second", log);
        new Logged(first, "grandchild", log);
        EXPECT_EQ(first->Owner(), &window);
    }
    EXPECT_EQ(log, (std::vector<std::string> { "window", "second", "first", "grandchild" }));
}

TEST(Component, DestroyingAnOwnedComponentTakesItOffItsOwner)
{
    std::vector<std::string> log;
    {
        Logged window(nullptr, "window", log);
        delete new Logged(&window, "early", log);
        new Logged(&window, "late", log);
    }
    EXPECT_EQ(log, (std::vector<std::string> { "early", "window", "late" }));
}

TEST(Component, LoadingCompleteEndsLoadingOnly)
{
    TComponent component(nullptr);
    EXPECT_EQ(component.ComponentState(), 0u);
    component.SetLoading(true);
    component.SetDesigning(true);
    EXPECT_EQ(component.ComponentState(), TComponent::csLoading | TComponent::csDesigning);
    component.LoadingComplete();
    EXPECT_EQ(component.ComponentState(), unsigned(TComponent::csDesigning));
    component.SetDesigning(false);
    EXPECT_EQ(component.ComponentState(), 0u);
}

} // namespace
