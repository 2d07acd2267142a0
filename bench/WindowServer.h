#pragma once

class TfrmMain;

// Starts the window's callback server through its button, as a user would,
// on a loopback address and port of the benchmark's.
void startWindowServer(TfrmMain& window, const char* address, int port);
