// What racer_check says of a folder, as text: the files the game reads, a
// diagnostic for each line not taken as written, the settings, what the
// fill and the smoothing make of the course, and two laps of the
// closed-loop driver. The tool prints it; the course workshop shows it.
#pragma once

#include <string>

#include "headless/autodrive.h"
#include "headless/file_check.h"

namespace file_check {

constexpr int kDriveLaps = 2;
// Ten minutes of play for two laps; the built-in car laps in 19 seconds.
constexpr long long kDriveFrames = 10 * 60 * 60;

// The driver's laps on the files the game reads now.
autodrive::Drive DriveLaps();

// Whether the driver lapped twice without touching a rail.
bool CleanDrive(const autodrive::RunSummary& run);

// The whole report, its files named as `folder` + file.
std::string ReportText(const Report& report, const autodrive::RunSummary& run, const std::string& folder);

}  // namespace file_check
