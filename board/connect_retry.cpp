// The connect procedure's attempts: a first attempt, then up to ten retries a second apart, stoppable by the operator.
#include "board/connect_retry.h"

namespace {

bool EndsWithoutRetry(int p_iResult)
{
    switch (p_iResult) {
    case ConnectResult::Connected:
    case ConnectResult::LinkFailed:
    case ConnectResult::GigEOpenFailed:
    case ConnectResult::GigENotChosen:
    case ConnectResult::BelmorNotConfirmed:
        return true;
    default:
        return false;
    }
}

} // namespace

int RunConnectAttempts(const ConnectAttemptSteps& p_Steps)
{
    int iResult = p_Steps.attempt(0);
    if (EndsWithoutRetry(iResult))
        return iResult;
    for (int n = 1; n <= ConnectAttemptLimit && iResult != ConnectResult::Connected; ++n) {
        p_Steps.processEvents();
        if (p_Steps.stopAsked())
            return ConnectResult::Interrupted;
        p_Steps.retryStarting(n);
        p_Steps.wait(ConnectRetryDelayMs);
        iResult = p_Steps.attempt(n);
    }
    return iResult;
}
