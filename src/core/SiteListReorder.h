#pragma once

#include <optional>

// The four moves of the site list editor: take the selected row out and insert it again at a
// target position, counted in the list without the moved row. Positions are 1-based.
class SiteListReorder
{
public:
    enum class Move
    {
        Up,
        Down,
        ToTop,
        ToBottom
    };

    // Where the row at position selected goes, or nothing when the move does not act (fewer than
    // two rows, a boundary, or no row selected).
    static std::optional<int> target(Move move, int selected, int count)
    {
        if (count < 2 || selected < 1 || selected > count) {
            return std::nullopt;
        }
        switch (move) {
        case Move::Up:
            return selected >= 2 ? std::optional<int>(selected - 1) : std::nullopt;
        case Move::Down:
            return selected < count ? std::optional<int>(selected + 1) : std::nullopt;
        case Move::ToTop:
            return selected != 1 ? std::optional<int>(1) : std::nullopt;
        case Move::ToBottom:
            return selected < count ? std::optional<int>(count) : std::nullopt;
        }
        return std::nullopt;
    }
};
