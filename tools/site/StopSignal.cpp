#include "tools/site/StopSignal.h"

#include <pthread.h>

namespace testsite {

sigset_t BlockStopSignals() {
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    return stopSignals;
}

void WaitForStopSignal(const sigset_t& stopSignals) {
    int nSignal = 0;
    while (sigwait(&stopSignals, &nSignal) != 0) {
    }
}

}  // namespace testsite
