#pragma once

// Lengths in days that the settings accept and that derivation relies on, in one place so that
// the settings page, the welcome, the model and the calendar file agree.

/// The average cycle length the settings and the welcome accept.
inline constexpr int kShortestCycleSetting = 20;
inline constexpr int kLongestCycleSetting = 40;

/// An interval between two period starts shorter than this is spotting, not a cycle: it is
/// neither measured nor written to the calendar file as a cycle of its own.
inline constexpr int kShortestCycle = 20;
/// The longest cycle derivation predicts with; a stored setting beyond it reads as the default.
inline constexpr int kLongestCycle = 99;

/// The period length the settings accept.
inline constexpr int kShortestPeriodSetting = 1;
inline constexpr int kLongestPeriodSetting = 7;
/// The longest period length a stored setting may hold (older versions allowed up to this).
inline constexpr int kLongestStoredPeriod = 20;

/// The luteal phase the settings accept on OK.
inline constexpr int kShortestLutealSetting = 10;
inline constexpr int kLongestLutealSetting = 20;
/// The settings' arrows reach this far, so a stored luteal phase up to it is used as it is.
inline constexpr int kLongestStoredLutealPhase = 40;
