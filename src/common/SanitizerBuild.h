#pragma once

//==============================================================================
/* Whether this build runs under the address or the thread sanitizer: GCC
   says so with a macro, clang through __has_feature. Both sanitizers bring
   allocators of their own, so the C library's heap and the process's
   resident memory behave otherwise under them.

   Defines AURALIS_ADDRESS_SANITIZER and AURALIS_THREAD_SANITIZER as 1 when
   they apply. */
#if defined(__SANITIZE_ADDRESS__)
    #define AURALIS_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
    #if __has_feature(address_sanitizer)
        #define AURALIS_ADDRESS_SANITIZER 1
    #endif
#endif

#if defined(__SANITIZE_THREAD__)
    #define AURALIS_THREAD_SANITIZER 1
#elif defined(__has_feature)
    #if __has_feature(thread_sanitizer)
        #define AURALIS_THREAD_SANITIZER 1
    #endif
#endif
