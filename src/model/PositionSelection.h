#pragma once
// Which sheet positions a print run prints. Position (row r, column c), both from 0, has index
// r * across + c. Sized for the largest sheet a template may describe (10 across, 30 down).
#include <array>
#include <cstdint>

namespace sw {

class TPositionSelection {
public:
    static constexpr int kMaxAcross = 10;
    static constexpr int kMaxDown = 30;
    static constexpr int kSize = kMaxAcross * kMaxDown;

    // When false a run prints every position and the flags are not consulted.
    bool SpecificPositionsOnly = false;

    // Clears every flag and turns SpecificPositionsOnly off.
    void ClearPositionSelection();

    bool IsSet(int index) const;
    void Set(int index, bool on);
    // Whether a run prints the position: every position unless SpecificPositionsOnly.
    bool Prints(int row, int column, int across) const;

private:
    std::array<std::uint8_t, kSize> flags_{};
};

} // namespace sw
