#pragma once

#include <string>

#include "harness/Screen.h"

// One program the driver measures: how to start it and what the stand-in game
// must have been given when the program dispatched.
struct Subject {
    std::string name;
    std::string commandLine;
    std::string expectedInGameCommandLine;
};

// What one run showed. Every time is in milliseconds after the process's
// creation time (GetProcessTimes), the moment the system made the process,
// before any of its loading.
struct RunResult {
    std::string problem;  // empty for a good run; then every figure is set

    double creationAfterCall = 0;  // creation time less the driver's clock just before CreateProcessA
    double firstWindow = 0;        // a top-level window of the process exists, hidden or not
    double visible = 0;            // its picture window is visible
    double painted = 0;            // the display shows the picture at the window's place
    double dispatch = 0;           // the stand-in game's own creation time
    double peakWorkingSetKb = 0;   // PeakWorkingSetSize while the program waits for its tick
    double pollInterval = 0;       // the mean time between two looks at the windows and the display
};

// When the working set is read: after the picture is up, before the tick.
constexpr double kMemorySampleMs = 2500;

// Starts the subject, watches its windows and the display until its picture is
// shown, reads its working set, waits for it to start the game at gamePath
// and to end.
RunResult MeasureRun(const Subject& subject, const Picture& title, const std::string& gamePath);
