// The four kinds of number by which the show names its GPU resources:
// texture numbers (entries of the TextureTable), program slots (entries of
// ShaderProgram), render sets and display lists. Each is its own type, so a
// texture number handed where a render set is wanted does not compile; the
// show's numbers themselves are listed once, in show/resources.h.
// Depends on: nothing. Pure.
#pragma once

template <class Kind> struct ResourceNumber {
    int value = 0;
    constexpr ResourceNumber() = default;
    constexpr explicit ResourceNumber(int number) : value(number) {}
    friend constexpr bool operator==(ResourceNumber, ResourceNumber) = default;
    // Printed as the number itself (messages, test failures).
    template <class Stream> friend auto operator<<(Stream &out, ResourceNumber n) -> decltype(out << int{})
    {
        return out << n.value;
    }
};

using TextureNumber = ResourceNumber<struct TextureNumberKind>;
using ProgramSlot = ResourceNumber<struct ProgramSlotKind>;
using RenderSetNumber = ResourceNumber<struct RenderSetNumberKind>;
using DisplayListNumber = ResourceNumber<struct DisplayListNumberKind>;
