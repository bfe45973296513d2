#pragma once
// kovo-report stations, ingresses, phases and eclipses: a body's retrograde cycles with
// their shadows or its sign ingresses, the Moon's phases, or the eclipses, over a range
// of days, as text, CSV, JSON or iCalendar.
#include <ostream>
#include <string>
#include <vector>

namespace kovo::report {

// "stations", "ingresses", "phases" or "eclipses".
bool IsCyclesCommand(const std::string& command);

// args begins with one of those commands. Returns the exit status: 0 done, 1 refused
// (the message on errors), 2 bad options (the usage printed to errors).
int RunCyclesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& errors);

std::string CyclesUsageText(const std::string& command);

}  // namespace kovo::report
