#pragma once
// What the desktop around the program offers: a window manager, a compositor.

// A window manager runs: it maximises, minimises and moves windows when asked.
// Without one (a bare X server) the program places its frame itself.
bool WindowManagerRunning();

// A compositing manager runs, so see-through chrome can show.
bool GlassAvailable();
