#pragma once

#include <QLatin1StringView>

// Names used in several places: the shipped pages, the window's own caption.
namespace ProgramNames {
inline constexpr QLatin1StringView HelpPage("SkyvaneHelp.htm");
inline constexpr QLatin1StringView BlankPage("DefPage.htm");
inline constexpr QLatin1StringView Caption("Skyvane ie5+");
} // namespace ProgramNames
