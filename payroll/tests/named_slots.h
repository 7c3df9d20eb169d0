#pragma once

#include <gtest/gtest.h>

#include <initializer_list>

// A field that the code reads by name, and where the record keeps what the name
// says: position and length written out by hand from the record's layout.
struct NamedSlot {
    const char* name;
    int field;
    int position;
    int length;
};

// Asserts that `slotOf(field)` (anything with `position` and `length`) gives
// each named field the place written beside it.
template <class SlotOf>
void expectNamedSlots(std::initializer_list<NamedSlot> named, SlotOf slotOf)
{
    for (const NamedSlot& n : named) {
        const auto slot = slotOf(n.field);
        EXPECT_EQ(static_cast<int>(slot.position), n.position) << n.name;
        EXPECT_EQ(static_cast<int>(slot.length), n.length) << n.name;
    }
}
