#pragma once

//==============================================================================
/** Gives the system back the memory that a finished job freed but the C
    library keeps for the job's thread.

    Each thread that allocates gets an allocation arena of its own, and the C
    library keeps a thread's freed memory mapped after the thread has ended.
    One status check over TLS (the certificate bundle read, the connection's
    buffers) leaves about 7 MB so, which the program would carry for the
    rest of its run. Called by every worker just before it delivers its
    result, on the worker's thread. Does nothing where the C library has no
    such call, nor in sanitizer builds, whose allocator is not the C
    library's.
*/
void releaseFreedWorkerMemory();
