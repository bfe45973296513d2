#pragma once
// How a run ended. Front ends read this value, never a caption or a message title:
// the command line's exit status and the window's run state follow from it.

namespace kovo::util {

enum class RunOutcome {
    Refused,    // a check refused the run before it began (a message said why)
    Completed,  // the run went to its end and recorded something
    NotFound,   // the run went to its end and found nothing
    Stopped,    // the user stopped it
    Failed      // it began but could not go on (a message said why)
};

// Whether the run ended as the user asked: anything but a refusal or a failure.
inline bool Succeeded(RunOutcome outcome) { return outcome != RunOutcome::Refused && outcome != RunOutcome::Failed; }

}  // namespace kovo::util
