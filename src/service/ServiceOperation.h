#pragma once

#include "ServiceOperationBase.h"

//==============================================================================
/** A page's service operation with the one worker it runs, held by value:
    the page declares it with its terms, and starts it with what to put into
    the worker's inputs and the handler its result goes to.

        statusCheck.start ([&] (StatusCheckThread& worker) { worker.profileName = name; },
                           [this] (const juce::String& execId, int statusCode, ...) { ... });

    A start while the operation runs starts nothing and returns false. The
    handler is called on the message thread with the worker's result values.
    Message thread only.
*/
template <typename Worker>
class ServiceOperation : public ServiceOperationBase
{
public:
    using ResultHandler = typename Worker::ResultCallback;

    explicit ServiceOperation (OperationTerms termsToKeep = {})
        : ServiceOperationBase (worker, termsToKeep)
    {
    }

    /** Starts the operation unless it runs: takes the close gate and the
        flag, lets `fillInputs` set the worker's inputs (each start begins
        from empty ones), installs the handler and starts the worker (on the
        next turn of the message loop when the terms say so). Returns whether
        it started. */
    template <typename InputFiller>
    bool start (InputFiller&& fillInputs, ResultHandler resultHandler)
    {
        if (! begin())
            return false;

        static_cast<typename Worker::WorkerInputs&> (worker) = {};
        fillInputs (worker);
        handler = std::move (resultHandler);

        worker.onResult = [this] (const auto&... values)
        {
            finish ([this, &values...]
                    {
                        // A copy: the handler may start this operation again.
                        if (auto handlerToCall = handler)
                            handlerToCall (values...); });
        };

        startWorker();
        return true;
    }

    /** The worker, for tests and for reading what it was given. */
    Worker& getWorker() noexcept { return worker; }

private:
    //==============================================================================
    Worker worker;
    ResultHandler handler;
};
