#include "MainLoopWakeUp.h"

#if JUCE_LINUX
    #include <fcntl.h>
    #include <unistd.h>
#endif

MainLoopWakeUp::~MainLoopWakeUp()
{
#if JUCE_LINUX
    if (readEnd >= 0)
    {
        juce::LinuxEventLoop::unregisterFdCallback (readEnd);
        ::close (readEnd);
        ::close (writeEnd);
    }
#endif
}

void MainLoopWakeUp::wake()
{
#if JUCE_LINUX
    if (readEnd < 0 && ! openPipe())
        return;

    const char byte = 1;
    [[maybe_unused]] const auto written = ::write (writeEnd, &byte, 1);
#endif
}

#if JUCE_LINUX
bool MainLoopWakeUp::openPipe()
{
    int ends[2];

    if (::pipe2 (ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;

    readEnd = ends[0];
    writeEnd = ends[1];

    // Reading the bytes is all the callback does: being called counts as an
    // event dispatched, after which the loop checks for the quit.
    juce::LinuxEventLoop::registerFdCallback (readEnd,
                                              [] (int fd)
                                              {
                                                  char bytes[16];

                                                  while (::read (fd, bytes, sizeof (bytes)) > 0)
                                                  {
                                                  }
                                              });
    return true;
}
#endif
