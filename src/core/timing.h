#pragma once
// With OLUMETTA_TIMING set, the start-up's phases on standard error, each once, in
// milliseconds since the first mark and on the monotonic clock: where the time before the
// first page goes. Off by default; nothing is measured then.
void StartupMark(const char *phase);
