// Waiting on a descriptor that answered "not yet".
#pragma once

namespace tarvo {

// True when errno, after a failed read or write, only says that a
// non-blocking descriptor is not ready yet.
bool is_not_yet(int error_number);

// Blocks until fd is ready for events (POLLIN or POLLOUT), or reports
// something the next read or write will see (an error, a hang-up). False
// only when poll itself fails; errno then says why.
bool wait_until_ready(int fd, short events);

}  // namespace tarvo
