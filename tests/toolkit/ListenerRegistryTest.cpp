// The listener registry: order, duplicates, the bad-cast stop and the
// handled result; and the lifetime link between sources and listeners.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "toolkit/DefaultTableModel.h"
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

// A component could outlive a listener registered with it and then call the
// dead listener (found by the sanitizers in a component test).
TEST(ListenerLifetime, AListenerThatEndsLeavesItsListsAndIsNeverCalledAgain) {
    std::vector<std::string> log;
    ListenerRegistry registry;
    Recorder kept(log, "kept");
    {
        Recorder gone(log, "gone");
        registry.addListener("EventListener", &gone);
        registry.addListener("MouseListener", &gone);
        registry.addListener("EventListener", &kept);
    }
    EXPECT_TRUE(registry.fire("EventListener", EventObject(nullptr, -2, 0)));
    EXPECT_FALSE(registry.fire("MouseListener", EventObject(nullptr, 0, 0)));
    EXPECT_FALSE(registry.hasListeners("MouseListener"));
    EXPECT_EQ(log, std::vector<std::string>{"kept"});
}

// Ends another listener, or itself, from inside its own call.
struct Ender : EventListener {
    Ender(std::vector<std::string>& entries, std::unique_ptr<EventListener>& target) : log(entries), victim(target) {}
    void handleEvent(const EventObject&) override {
        log.push_back("ender");
        victim.reset();  // nothing of this object is touched after this line
    }
    std::vector<std::string>& log;
    std::unique_ptr<EventListener>& victim;
};

TEST(ListenerLifetime, AListenerEndedDuringADeliveryIsSkippedAndTheRestAreServed) {
    std::vector<std::string> log;
    Recorder last(log, "last");

    std::unique_ptr<EventListener> later = std::make_unique<Recorder>(log, "later");
    Ender ender(log, later);
    ListenerRegistry registry;
    registry.addListener("EventListener", &ender);
    registry.addListener("EventListener", later.get());
    registry.addListener("EventListener", &last);
    EXPECT_TRUE(registry.fire("EventListener", EventObject(nullptr, -2, 0)));
    EXPECT_EQ(log, (std::vector<std::string>{"ender", "last"}));

    log.clear();
    std::unique_ptr<EventListener> self;
    self = std::make_unique<Ender>(log, self);
    ListenerRegistry second;
    second.addListener("EventListener", self.get());
    second.addListener("EventListener", &last);
    EXPECT_TRUE(second.fire("EventListener", EventObject(nullptr, -2, 0)));
    EXPECT_EQ(self, nullptr);
    EXPECT_TRUE(second.fire("EventListener", EventObject(nullptr, -2, 0)));
    EXPECT_EQ(log, (std::vector<std::string>{"ender", "last", "last"}));
}

TEST(ListenerLifetime, AListenerOutlivingItsSourceEndsWithoutTouchingIt) {
    std::vector<std::string> log;
    Recorder listener(log, "l");
    {
        ListenerRegistry registry;
        registry.addListener("EventListener", &listener);
        ListenerRegistry other;
        other.addListener("ChangeListener", &listener);
        other.fire("ChangeListener", EventObject(nullptr, 0, 0));
    }
    // A copy registers nowhere; the original is still free to join a new source.
    Recorder copy = listener;
    ListenerRegistry later;
    later.addListener("EventListener", &listener);
    EXPECT_TRUE(later.fire("EventListener", EventObject(nullptr, 0, 0)));
    EXPECT_EQ(log, (std::vector<std::string>{"l", "l"}));
}

TEST(ListenerLifetime, TableModelListenersLeaveTheModelWhenTheyEnd) {
    struct Rows : TableModelListener {
        void tableChanged(TableModelEvent) override { ++calls; }
        int calls = 0;
    };
    DefaultTableModel model;
    Rows kept;
    model.addTableModelListener(&kept);
    {
        Rows gone;
        model.addTableModelListener(&gone);
        model.addTableModelListener(&gone);
        EXPECT_EQ(model.listenerCount(), 2u);
    }
    EXPECT_EQ(model.listenerCount(), 1u);
    model.fireTableChanged(TableModelEvent(&model, 0, 0, 0, 0, DefaultTableModel::kUpdate));
    EXPECT_EQ(kept.calls, 1);
}

TEST(ListenerRegistry, EventsDescribeThemselvesWithTheEmptyText) {
    EXPECT_EQ(EventObject(nullptr, 1, 2).toString(), u"");
    EXPECT_EQ(MouseEvent(nullptr, 0x200, 3, 4).message(), 0x200u);
    EXPECT_EQ(ActionEvent(nullptr).value, 0);
}

}  // namespace
