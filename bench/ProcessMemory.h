#pragma once

// A field of /proc/self/status in kB, such as "VmRSS:" or "VmHWM:"; -1 when
// it cannot be read.
long statusKb(const char* field);
