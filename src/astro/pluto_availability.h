#pragma once
// Whether the Pluto files could be used, and if not why: the runs that offer Pluto
// refuse it with this reason rather than in silence.
#include <string>

namespace kovo::astro {

struct PlutoAvailability {
    bool available = true;
    std::string reason;  // one line naming the file and the problem, when not available
};

// The refusal shown when a run asks for Pluto without its data.
inline std::string PlutoUnavailableText(const PlutoAvailability& pluto) {
    std::string text = "Pluto data is not available.";
    if (!pluto.reason.empty()) text += "\r\n" + pluto.reason;
    return text;
}

}  // namespace kovo::astro
