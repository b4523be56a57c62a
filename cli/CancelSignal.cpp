#include "cli/CancelSignal.h"

#include <csignal>

namespace kavex::cli {
namespace {

// A signal handler can only reach static storage; this flag is the one piece of it.
volatile std::sig_atomic_t g_cancelRequested = 0;

void OnCancelSignal(int) { g_cancelRequested = 1; }

}  // namespace

void InstallCancelSignalHandlers() {
    struct sigaction action {};
    action.sa_handler = OnCancelSignal;
    sigemptyset(&action.sa_mask);
    // Reads and writes in progress go on; the run looks at the flag between chunks.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGXFSZ, &ignore, nullptr);
}

bool TakeCancelSignal() {
    // Read and clear are two steps, but a signal between them only sets what is being cleared:
    // requests that close together count as one, as the latch wants.
    const bool requested = g_cancelRequested != 0;
    if (requested) g_cancelRequested = 0;
    return requested;
}

bool CancelSignalPending() { return g_cancelRequested != 0; }

}  // namespace kavex::cli
