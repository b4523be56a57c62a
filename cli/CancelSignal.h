// Ctrl-C (SIGINT) and SIGTERM as the console's Cancel button: the handler only sets a latched flag,
// which the run reads at its next cancel check, so a file is never cut off in the middle of a
// write.
//
//   kavex::cli::InstallCancelSignalHandlers();
//   if (kavex::cli::TakeCancelSignal()) { /* stop */ }
#pragma once

namespace kavex::cli {

// SIGINT and SIGTERM set the request (any number of them count as one); SIGXFSZ is ignored, so a
// file size limit makes a write fail (and the file be restored) instead of killing the process.
void InstallCancelSignalHandlers();

// Reports a request made since the last call and clears it.
[[nodiscard]] bool TakeCancelSignal();
// Looks without clearing.
[[nodiscard]] bool CancelSignalPending();

}  // namespace kavex::cli
