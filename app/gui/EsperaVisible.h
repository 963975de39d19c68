#pragma once
// What the windows do while a statement waits for a lock on the embedded database:
// they keep repainting under a wait cursor, and nothing the operator types or clicks
// runs until the wait is over (it would run inside the open transaction).

// Installs that behaviour for the whole process; the application object must exist.
void InstalaEsperaVisible();
