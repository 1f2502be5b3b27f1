// Included once by each fuzz target.
#pragma once

// libFuzzer copies every input onto the heap and frees it after the run; AddressSanitizer's
// default quarantine (256 MB) then holds hundreds of megabytes of those copies, and a target's
// memory climbs with its run count. The code under test allocates nothing, so a small
// quarantine still catches a parser that keeps a pointer into its input past the call.
extern "C" const char* __asan_default_options()
{
    return "quarantine_size_mb=16";
}
