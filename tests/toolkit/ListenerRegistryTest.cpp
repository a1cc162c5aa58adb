// The listener registry: order, duplicates, the bad-cast stop and the
// handled result.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/ListenerRegistry.h"

namespace {

struct Recorder : EventListener {
    Recorder(std::vector<std::string>& into, std::string called) : log(into), name(std::move(called)) {}
    void handleEvent(const EventObject&) override { log.push_back(name); }
    std::vector<std::string>& log;
    std::string name;
};

struct Changes : ChangeListener {
    void stateChanged(ChangeEvent event) override { values.push_back(event.value); }
    std::vector<int> values;
};

struct Keys : KeyListener {
    void keyPressed(KeyEvent event) override { codes.push_back(event.keyCode); }
    std::vector<int> codes;
};

TEST(ListenerRegistry, DeliversInRegistrationOrderAndOnlyOncePerListener) {
    std::vector<std::string> log;
    Recorder a(log, "a"), b(log, "b");
    ListenerRegistry registry;
    registry.addListener("EventListener", &a);
    registry.addListener("EventListener", &b);
    registry.addListener("EventListener", &a);
    EXPECT_TRUE(registry.fire("EventListener", EventObject(nullptr, -2, 0)));
    EXPECT_EQ(log, (std::vector<std::string>{"a", "b"}));
}

TEST(ListenerRegistry, AnEmptyOrUnknownListIsNotHandled) {
    ListenerRegistry registry;
    EXPECT_FALSE(registry.fire("EventListener", EventObject(nullptr, -2, 0)));
    EXPECT_FALSE(registry.hasListeners("Never"));
    EXPECT_FALSE(registry.fire("Never", EventObject(nullptr, 0, 0)));
}

TEST(ListenerRegistry, ABadCastEndsTheDeliveryButTheEventStillCountsAsHandled) {
    std::vector<std::string> log;
    Recorder before(log, "before"), after(log, "after");
    Changes changes;
    ListenerRegistry registry;
    registry.addListener("EventListener", &before);
    registry.addListener("EventListener", &changes);
    registry.addListener("EventListener", &after);
    EXPECT_TRUE(registry.fire("EventListener", EventObject(nullptr, -2, 0)));
    EXPECT_EQ(log, std::vector<std::string>{"before"});
    EXPECT_TRUE(changes.values.empty());
}

TEST(ListenerRegistry, TypedListenersReceiveTheirOwnKindsByValue) {
    Changes changes;
    Keys keys;
    ListenerRegistry registry;
    registry.addListener("ChangeListener", &changes);
    registry.addListener("KeyListener", &keys);
    registry.fire("ChangeListener", ChangeEvent(nullptr, -551));
    registry.fire("KeyListener", KeyEvent(nullptr, -4, 13));
    EXPECT_EQ(changes.values, std::vector<int>{-551});
    EXPECT_EQ(keys.codes, std::vector<int>{13});
    // A key listener given a plain event stops quietly.
    EXPECT_TRUE(registry.fire("KeyListener", EventObject(nullptr, 0, 0)));
}

TEST(ListenerRegistry, EventsDescribeThemselvesWithTheEmptyText) {
    EXPECT_EQ(EventObject(nullptr, 1, 2).toString(), u"");
    EXPECT_EQ(MouseEvent(nullptr, 0x200, 3, 4).message(), 0x200u);
    EXPECT_EQ(ActionEvent(nullptr).value, 0);
}

}  // namespace
