#pragma once
// A runtime folder for the toolkit. Qt keeps its runtime files in XDG_RUNTIME_DIR and
// warns on standard error when it is unset, as it is under cron, su or a bare ssh
// session; a program that draws pictures for a shell must not print that.

namespace kovo::platform {

// When XDG_RUNTIME_DIR is unset or empty: makes a private folder (mode 0700) in the
// temporary folder ($TMPDIR, else /tmp), sets XDG_RUNTIME_DIR to it and removes it when
// the program exits. Does nothing when the variable is set, when the folder cannot be
// made (the toolkit then uses its own fallback) or on Windows. Call before the toolkit
// starts, from the main thread.
void EnsureRuntimeFolder();

}  // namespace kovo::platform
