#include "BackgroundStatusCheckThread.h"

#include "StatusCheckThread.h"

BackgroundStatusCheckThread::BackgroundStatusCheckThread()
    : ServiceWorker ("BackgroundStatusCheck")
{
}

void BackgroundStatusCheckThread::job()
{
    StatusCheckInputs inputs;
    inputs.profileName = profileName;
    inputs.store = store;
    inputs.start = StatusCheckStart::fromSavedBankUnderGivenName;

    const auto header = StatusCheckThread::check (inputs, getNetworkStop(), *this);

    deliver (header.execId, header.statusCode, header.returnCode, header.message);
}
