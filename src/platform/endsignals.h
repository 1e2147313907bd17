#pragma once
// A logout, a `kill`, a closed terminal: the ends the system asks for politely (SIGTERM,
// SIGHUP, SIGINT, and the session manager's end) reach the program as one call on its event
// loop, so it can close as the user would and leave no crash behind.
#include <functional>

class QObject;

// Call once, with the application made; end runs on the event loop, once per request.
void WatchEndRequests(QObject *owner, std::function<void()> end);
