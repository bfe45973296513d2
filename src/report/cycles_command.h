#pragma once
// kovo-report stations and kovo-report ingresses: a body's retrograde cycles with their
// shadows, or its sign ingresses, over a range of days, as text, CSV, JSON or iCalendar.
#include <ostream>
#include <string>
#include <vector>

namespace kovo::report {

// args begins with "stations" or "ingresses". Returns the exit status: 0 done, 1 refused
// (the message on errors), 2 bad options (the usage printed to errors).
int RunCyclesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& errors);

std::string CyclesUsageText(const std::string& command);

}  // namespace kovo::report
