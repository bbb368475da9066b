#pragma once

#include <QString>

/// The calendar file Velumina keeps up to date when she switches "Keep a calendar file up to
/// date" on: $XDG_DATA_HOME/velumina/predictions.ics (readable by her only, replaced
/// atomically), which a desktop calendar subscribes to. It is written again after every change
/// of her records or settings and on the first check of each new day (a late period moves
/// with the date), and removed when she switches it off.
///
/// Only the interactive run follows her data, from Start on: before the data file is loaded,
/// and in the background run, the database does not hold her days.
class LiveCalendarFile
{
public:
    /// Where the file lives.
    static QString Path();
    /// Puts the file into `folder`/velumina (tests); an empty folder restores the user's.
    static void SetDataFolderForTesting(const QString& folder);

    /// Starts following her data and brings the file in line now. A failure here is kept for
    /// the settings screen, not shown: start-up never waits on a message box.
    static void Start();
    /// Stops following (the window closes; tests).
    static void Stop();

    /// Writes the file when the switch is on, removes it when it is off. Nothing before Start.
    /// The first failure of a run is shown in a message; later ones only kept. True when the
    /// file is as the settings ask.
    static bool Follow();
    /// Follow when the file was last brought in line on an earlier day.
    static bool FollowNewDay();

    /// Why the last attempt failed; empty after a success.
    static QString LastError();
};
